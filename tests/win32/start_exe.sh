#!/usr/bin/env bash
# START.EXE as a file: a GUI program for its processor (i686 or x86_64) that
# imports KnownDLLs only (knowndlls/: those of XP SP3 and of 10), hardened
# in its header, carrying its icon, version and manifest.
#   start_exe.sh ARCH EXE
arch=$1 exe=$2
here=$(dirname "$0")
# shellcheck source=../harness/harness.sh
source "$here/../harness/harness.sh"
case $arch in
  i686) format=pei-i386 ;;
  x86_64) format=pei-x86-64 ;;
  *) echo "unknown processor $arch"; exit 2 ;;
esac
objdump=$arch-w64-mingw32-objdump

header=$("$objdump" -p "$exe")
dlls=$(awk '/DLL Name/ {print tolower($3)}' <<<"$header" | sed 's/\.dll$//')
known() { grep -v '^#' "$here/knowndlls/$1.txt"; }
foreign=$(grep -vxF -f <(comm -12 <(known winxp-sp3 | sort) <(known win10 | sort)) <<<"$dlls" || true)
check "START.EXE ($arch) imports KnownDLLs of XP SP3 and 10 only (${dlls//$'\n'/ })" \
  test -n "$dlls" -a -z "$foreign"
[[ -z $foreign ]] || echo "  not KnownDLLs on both: ${foreign//$'\n'/ }"
# The DLL characteristics as objdump names them, one a line after the
# field; NO_ISOLATION would make Windows ignore the manifest, and with it
# honour a START.EXE.local. Relocations: a base relocation directory, and
# the file header not saying they were stripped.
chars=$(awk '/^DllCharacteristics/ {f = 1; next} f && /^\t+[A-Z_]+$/ {print $1; next} {f = 0}' <<<"$header")
flags=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
[[ $arch == x86_64 ]] && flags+=(HIGH_ENTROPY_VA)
missing=()
for f in "${flags[@]}"; do grep -qx "$f" <<<"$chars" || missing+=("$f"); done
check "START.EXE ($arch) header: ${flags[*]}${missing[*]:+ (missing: ${missing[*]})}" test ${#missing[@]} -eq 0
relocs=$(awk '/Base Relocation Directory/ {print $4}' <<<"$header")
stripped=$(sed -n '/^Characteristics/,/^$/p' <<<"$header" | grep -c 'relocations stripped' || true)
check "START.EXE ($arch) keeps its relocations, so that it can be moved (${relocs:-no} bytes)" \
  test -n "$relocs" -a "$((16#${relocs:-0}))" -gt 0 -a "$stripped" -eq 0
check "START.EXE ($arch) does not opt out of its manifest (NO_ISOLATION)" bash -c "! grep -qx NO_ISOLATION <<<'$chars'"
check "START.EXE ($arch) is a $format GUI program" bash -c "
  '$objdump' -f '$exe' | grep -q 'file format $format' &&
  '$objdump' -p '$exe' | grep -q 'Subsystem.*Windows GUI'"
# The CD's START.EXE is read from the disc at every start: the program 1.2 MB
# at most, its pictures included, its signature (the certificate table at
# the file's end) not. A library function can bring tens of kilobytes.
signature=$(awk '/Security Directory/ {print $4}' <<<"$header")
size=$(($(stat -c %s "$exe") - 16#${signature:-0}))
[[ $arch != i686 ]] || check "START.EXE (i686) is at most 1,200,000 bytes without its signature ($size)" \
  test "$size" -le 1200000
res=$("$arch-w64-mingw32-windres" -i "$exe" -O rc 2>/dev/null)
check "START.EXE ($arch) carries icon, version and manifest" bash -c \
  "grep -q 'RT_GROUP_ICON' <<<\"\$1\" && grep -q 'OriginalFilename' <<<\"\$1\" && grep -q 'RT_MANIFEST' <<<\"\$1\"" _ "$res"
