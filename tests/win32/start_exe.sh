#!/usr/bin/env bash
# START.EXE as a file: a GUI program for its processor (i686 or x86_64) that
# needs system DLLs only, carrying its icon, version and manifest.
#   start_exe.sh ARCH EXE
set -uo pipefail
arch=$1 exe=$2
here=$(dirname "$0")
# shellcheck source=../../tools/test-helpers.sh
source "$here/../../tools/test-helpers.sh"
case $arch in
  i686) format=pei-i386 ;;
  x86_64) format=pei-x86-64 ;;
  *) echo "unknown processor $arch"; exit 2 ;;
esac
objdump=$arch-w64-mingw32-objdump

dlls=$("$objdump" -p "$exe" | awk '/DLL Name/ {print toupper($3)}')
foreign=$(grep -vxE 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMCTL32.DLL|SHELL32.DLL|OLE32.DLL|OLEACC.DLL|OLEAUT32.DLL|MSVCRT.DLL' \
  <<<"$dlls")
check "START.EXE ($arch) needs system DLLs only (${dlls//$'\n'/ })" test -n "$dlls" -a -z "$foreign"
check "START.EXE ($arch) is a $format GUI program" bash -c "
  '$objdump' -f '$exe' | grep -q 'file format $format' &&
  '$objdump' -p '$exe' | grep -q 'Subsystem.*Windows GUI'"
res=$("$arch-w64-mingw32-windres" -i "$exe" -O rc 2>/dev/null)
check "START.EXE ($arch) carries icon, version and manifest" bash -c \
  "grep -q 'RT_GROUP_ICON' <<<\"\$1\" && grep -q 'OriginalFilename' <<<\"\$1\" && grep -q 'RT_MANIFEST' <<<\"\$1\"" _ "$res"
summary
