#!/usr/bin/env bash
# START.EXE signed by the build, with a throw-away CA, code-signing
# certificate and timestamp authority made here (none is kept): the second
# tree of reproduce.sh is configured with -DSIGN_PKCS12 and
# -DSIGN_PASSWORD_FILE and makes its image again. Then the signed START.EXE
# and the image's copy verify against the CA with two signatures, SHA-1
# first; a copy with one code byte changed does not; the signature put on
# the first build's unsigned START.EXE gives the same file (how anyone
# checks a signed disc against their own build), and with the first
# build's other files the signed image; the signed file still
# passes the XP checks. The same two signatures through a PKCS#11 token
# (SoftHSM) where it is installed.
#   signing.sh BUILD
build=$(realpath "$1")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/reproduce
second=$work/tree
keys=$work/keys
# shellcheck source=../harness/harness.sh
source "$root/tests/harness/harness.sh"
[[ -f $second/mirelund.iso ]] || die "no second build in $second (image_second_build did not run)"
rm -rf "$keys"
mkdir -p "$keys"
at_exit 'rm -rf "$keys"'

# make_cert NAME ISSUER EXTENSIONS: NAME.key and NAME.pem, issued by ISSUER
# (self-signed where ISSUER is "-"), valid for two days.
make_cert() {
  local name=$1 issuer=$2 ext=$3 by=(-signkey "$keys/$1.key")
  [[ $issuer == - ]] || by=(-CA "$keys/$issuer.pem" -CAkey "$keys/$issuer.key" -CAcreateserial)
  printf '%b\n' "$ext" >"$keys/$name.ext"
  openssl req -new -newkey rsa:2048 -nodes -keyout "$keys/$name.key" -out "$keys/$name.csr" \
    -subj "/CN=Mirelund test $name" 2>/dev/null || return 1
  openssl x509 -req -in "$keys/$name.csr" "${by[@]}" -days 2 -extfile "$keys/$name.ext" -out "$keys/$name.pem" 2>/dev/null
}
ca_ext='basicConstraints=critical,CA:TRUE\nkeyUsage=critical,keyCertSign,cRLSign'
make_cert ca - "$ca_ext" && make_cert other-ca - "$ca_ext" &&
  make_cert publisher ca 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning' &&
  make_cert tsa ca 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=critical,timeStamping' ||
  die "openssl could not make the test certificates"
cat "$keys/tsa.pem" "$keys/ca.pem" >"$keys/tsa-chain.pem"
head -c 24 /dev/urandom | base64 >"$keys/password"
openssl pkcs12 -export -inkey "$keys/publisher.key" -in "$keys/publisher.pem" -certfile "$keys/ca.pem" \
  -passout "file:$keys/password" -out "$keys/publisher.p12" || die "openssl pkcs12"

# osslsigncode before 2.6 has no timestamp authority of its own.
tsa=(-DSIGN_TSA_CERTS= -DSIGN_TSA_KEY=) timestamps=0
help=$(osslsigncode sign --help 2>&1 || true)
if grep -q -- -TSA-certs <<<"$help"; then
  tsa=(-DSIGN_TSA_CERTS="$keys/tsa-chain.pem" -DSIGN_TSA_KEY="$keys/tsa.key")
  timestamps=1
else
  echo "SKIP timestamps: $(osslsigncode --version 2>&1 | sed -n "1s/,.*//p") cannot be its own timestamp authority"
fi
# On the first tree's date, as reproduce.sh built it.
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(cat "$build/source_date_epoch.txt")
configured=$(cmake "$second" -DSIGN_PKCS12="$keys/publisher.p12" -DSIGN_PASSWORD_FILE="$keys/password" "${tsa[@]}" \
  -DSIGN_PKCS11_MODULE= -DSIGN_PKCS11_KEY= -DSIGN_CERT= -DSIGN_TIMESTAMP_URL= 2>&1)
check "the build says it signs START.EXE" grep -q "START.EXE is signed twice" <<<"$configured"
cmake --build "$second" --target image -j"$(nproc)" >"$work/signed-build.log" 2>&1 ||
  { tail -n 30 "$work/signed-build.log"; die "the signed build failed"; }
grep -h "START.EXE is signed twice\|not signed" "$work/signed-build.log" | head -n 1

exe=$second/win32/cd/START.EXE
# verifies NAME EXE: two signatures against the test CA, SHA-1 first, then
# SHA-256; each timestamped where a timestamp authority signed.
verifies() {
  local out status=0
  out=$(osslsigncode verify -CAfile "$keys/ca.pem" -TSA-CAfile "$keys/ca.pem" -in "$2" 2>&1) || status=$?
  local digests stamps
  digests=$(grep -o '^Message digest algorithm  : [A-Z0-9]*' <<<"$out" | awk '{print $NF}' | paste -sd ' ' || true)
  stamps=$(grep -c 'Timestamp Server Signature verification: ok' <<<"$out" || true)
  if [[ $status -eq 0 && $out == *"Number of verified signatures: 2"* && $digests == "SHA1 SHA256" ]] &&
     { [[ $timestamps -eq 0 ]] || [[ $stamps -eq 2 ]]; }; then
    pass "$1 verifies: 2 signatures, digests $digests, $stamps timestamps"
  else
    fail "$1: osslsigncode verify exit $status, digests '$digests', $stamps timestamps"
    tail -n 5 <<<"$out"
  fi
}
verifies "the signed START.EXE" "$exe"
check "a CA that did not issue the certificate does not verify it" \
  bash -c '! osslsigncode verify -CAfile "$1" -in "$2" >/dev/null 2>&1' _ "$keys/other-ca.pem" "$exe"

# The image's copy, read from the image file itself.
rm -f "$keys/image-START.EXE"
xorriso -osirrox on -indev "$second/mirelund.iso" -extract /START.EXE "$keys/image-START.EXE" >/dev/null 2>&1
check "the image holds the signed START.EXE" cmp -s "$exe" "$keys/image-START.EXE"
verifies "the image's START.EXE" "$keys/image-START.EXE"

# One byte in the middle of the code changed after signing.
read -r size offset < <(i686-w64-mingw32-objdump -h "$exe" | awk '$2 == ".text" {print $3, $6}')
cp "$exe" "$keys/changed.exe"
at=$((16#$offset + 16#$size / 2))
old=$(od -An -tu1 -j "$at" -N1 "$exe" | tr -d ' ')
printf "\\x$(printf %02x $(((old + 1) % 256)))" | dd of="$keys/changed.exe" bs=1 seek="$at" conv=notrunc status=none
status=0
out=$(osslsigncode verify -CAfile "$keys/ca.pem" -TSA-CAfile "$keys/ca.pem" -in "$keys/changed.exe" 2>&1) || status=$?
check "a copy with one code byte changed (at $at) fails to verify (exit $status)" \
  test "$status" -ne 0 -a -n "$(grep MISMATCH <<<"$out")"

# Anyone's own unsigned build with the publisher's signature put on it is
# the publisher's file, byte for byte.
unsigned=$build/win32/cd/START.EXE
grep -qE '^SIGN_(PKCS12|PKCS11_MODULE):[A-Z]+=.' "$build/win32/CMakeCache.txt" && unsigned=$build/win32/unsigned/START.EXE
rm -f "$keys/signature" "$keys/attached.exe"
osslsigncode extract-signature -in "$exe" -out "$keys/signature" >/dev/null 2>&1 &&
  osslsigncode attach-signature -sigin "$keys/signature" -CAfile "$keys/ca.pem" -TSA-CAfile "$keys/ca.pem" \
    -in "$unsigned" -out "$keys/attached.exe" >/dev/null 2>&1
check "the signature on the first build's unsigned START.EXE gives the signed file" cmp -s "$keys/attached.exe" "$exe"
mkdir -p "$keys/check"
cp -r "$build/win32/cd/." "$keys/check/"
cp "$keys/attached.exe" "$keys/check/START.EXE"
bash "$root/tools/disc/make-image.sh" "$keys/check.iso" "$keys/check" "$build/setup/start" "$build/MANUAL.PDF" \
  "$SOURCE_DATE_EPOCH"
check "the first build's files with that START.EXE give the signed image" cmp -s "$keys/check.iso" "$second/mirelund.iso"

# What Windows XP needs of the file is still there, signed.
quietly() { "$@" >/dev/null 2>&1; }
check "the signed START.EXE is the same program for XP (start_exe.sh)" \
  quietly bash "$root/tests/win32/start_exe.sh" i686 "$exe"
check "the signed START.EXE imports nothing XP SP3 lacks (xp_imports.sh)" \
  quietly bash "$root/tests/win32/xp_imports.sh" i686-w64-mingw32-objdump "$exe"
check "the signed START.EXE carries the manifest XP SP3 parses (xp_manifest.sh)" \
  quietly bash "$root/tests/win32/xp_manifest.sh" "$root/runtime/win32/start.manifest.in" x86 i686-w64-mingw32-objcopy "$exe"

# The same through a PKCS#11 token: SoftHSM holds the key.
softhsm=/usr/lib/softhsm/libsofthsm2.so
if command -v softhsm2-util >/dev/null && [[ -f $softhsm ]] &&
   openssl engine pkcs11 >/dev/null 2>&1; then
  export SOFTHSM2_CONF=$keys/softhsm2.conf
  mkdir -p "$keys/tokens"
  echo "directories.tokendir = $keys/tokens" >"$SOFTHSM2_CONF"
  printf '4711\n' >"$keys/pin"
  openssl pkcs8 -topk8 -nocrypt -in "$keys/publisher.key" -out "$keys/publisher.pk8" &&
    softhsm2-util --init-token --free --label mirelund --pin 4711 --so-pin 0815 >/dev/null &&
    softhsm2-util --import "$keys/publisher.pk8" --token mirelund --label publisher --id 01 --pin 4711 >/dev/null
  cat "$keys/publisher.pem" "$keys/ca.pem" >"$keys/publisher-chain.pem"
  rm -f "$keys/token.exe"
  tsa_args=()
  [[ $timestamps -eq 1 ]] && tsa_args=(--tsa-certs "$keys/tsa-chain.pem" --tsa-key "$keys/tsa.key")
  bash "$root/tools/disc/sign-exe.sh" --pkcs11-module "$softhsm" --key "pkcs11:token=mirelund;object=publisher" \
    --cert "$keys/publisher-chain.pem" --password-file "$keys/pin" "${tsa_args[@]}" \
    "$unsigned" "$keys/token.exe" 2>"$keys/token.log" || cat "$keys/token.log"
  verifies "START.EXE signed through PKCS#11 (SoftHSM)" "$keys/token.exe"
else
  echo "SKIP PKCS#11: needs softhsm2 and the OpenSSL pkcs11 engine (libengine-pkcs11-openssl)"
fi
