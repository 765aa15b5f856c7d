#!/usr/bin/env bash
# Signs a Windows program twice with one certificate, as publishers do for
# Windows XP: a SHA-1 digest first (XP SP3 checks a SHA-256 certificate but
# not a SHA-256 file digest), then a nested signature with a SHA-256 digest
# for every later Windows. OUT appears only once both signatures are in it.
#   sign-exe.sh KEY [--password-file FILE] [TIMESTAMP] IN OUT
#   KEY:       --pkcs12 FILE
#              --pkcs11-module MODULE --key PKCS11-URI --cert CERT.pem
#   TIMESTAMP: --timestamp URL (an RFC 3161 server, asked for both signatures)
#              --tsa-certs CHAIN.pem --tsa-key KEY.pem (osslsigncode as its own
#              authority: for tests, which run offline)
# The signing time is SOURCE_DATE_EPOCH's where that is set, so that signing
# the same file with the same key again gives the same bytes (RSA signatures
# are deterministic); a timestamp, where asked for, holds the real time.
set -euo pipefail
key=() pass=() stamp=()
while [[ $# -gt 2 ]]; do
  case $1 in
    --pkcs12) key+=(-pkcs12 "$2") ;;
    --pkcs11-module) key+=(-pkcs11module "$2") ;;
    --key) key+=(-key "$2") ;;
    --cert) key+=(-certs "$2") ;;
    --password-file) pass=(-readpass "$2") ;;
    --timestamp) stamp+=(-ts "$2") ;;
    --tsa-certs) stamp+=(-TSA-certs "$2") ;;
    --tsa-key) stamp+=(-TSA-key "$2") ;;
    *) echo "sign-exe.sh: unknown option $1" >&2; exit 2 ;;
  esac
  shift 2
done
[[ $# -eq 2 && ${#key[@]} -gt 0 ]] || { echo "usage: sign-exe.sh KEY [OPTIONS] IN OUT" >&2; exit 2; }
in=$1 out=$2
when=()
if [[ ${SOURCE_DATE_EPOCH:-} =~ ^[0-9]+$ ]]; then when=(-time "$SOURCE_DATE_EPOCH"); fi

first=$out.sha1.part second=$out.part
trap 'rm -f "$first" "$second"' EXIT
sign() {  # sign OSSLSIGNCODE-OPTION... : a timestamp server may fail for a moment; tried three times
  local try log
  log=$(mktemp)
  for try in 1 2 3; do
    if osslsigncode sign "${key[@]}" "${pass[@]}" "${stamp[@]}" "${when[@]}" -n "Mirelund" "$@" >"$log" 2>&1; then
      rm -f "$log"
      return 0
    fi
    [[ ${#stamp[@]} -gt 0 && $try -lt 3 ]] || break
    echo "sign-exe.sh: signing failed (timestamp server?), trying again in 10 s" >&2
    sleep 10
  done
  sed 's/^/osslsigncode: /' "$log" >&2
  rm -f "$log"
  return 1
}
rm -f "$first" "$second"
sign -h sha1 -in "$in" -out "$first"
sign -nest -h sha256 -in "$first" -out "$second"
chmod --reference="$in" "$second"
mv "$second" "$out"
