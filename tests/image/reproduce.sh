#!/usr/bin/env bash
# The disc's files built a second time from the same sources, in another
# folder and minutes later, must come out the same to the byte.
#   reproduce.sh build BUILD GENERATOR BUILD_TYPE
#     a second tree in BUILD/reproduce/tree, made from nothing: only what
#     makes the disc (the image target), on BUILD's date
#   reproduce.sh compare BUILD
#     START.EXE and the setups, the Linux launcher and its module,
#     MANUAL.PDF and mirelund.iso of both trees
case=$1
build=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$build/reproduce
second=$work/tree
# shellcheck source=../harness/harness.sh
source "$root/tests/harness/harness.sh"

case $case in
  build)
    generator=$3 type=$4
    rm -rf "$second"
    mkdir -p "$work"
    # The first tree's date, whatever this shell's SOURCE_DATE_EPOCH says.
    epoch=$(cat "$build/source_date_epoch.txt")
    echo "Second build in $second, SOURCE_DATE_EPOCH=$epoch, started $(date -u +%H:%M:%S) UTC"
    SOURCE_DATE_EPOCH=$epoch cmake -S "$root" -B "$second" -G "$generator" -DCMAKE_BUILD_TYPE="$type" \
      -DSTART_TESTS=OFF >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; exit 1; }
    SOURCE_DATE_EPOCH=$epoch cmake --build "$second" --target image -j"$(nproc)" >"$work/build.log" 2>&1 ||
      { tail -n 40 "$work/build.log"; exit 1; }
    echo "Second build done $(date -u +%H:%M:%S) UTC"
    ;;
  compare)
    [[ -f $second/mirelund.iso ]] || die "no second build in $second (image_second_build did not run)"
    same() {  # same NAME FIRST SECOND
      if cmp "$2" "$3"; then
        pass "$1 is the same in both builds ($(sha256sum <"$2" | cut -c1-16)…)"
      else
        fail "$1 differs: $(stat -c %s "$2") and $(stat -c %s "$3") bytes"
      fi
    }
    # A signed first build keeps its unsigned START.EXE apart; the second
    # is never signed.
    start_exe=$build/win32/cd/START.EXE
    signed=0
    if grep -qE '^SIGN_(PKCS12|PKCS11_MODULE):[A-Z]+=.' "$build/win32/CMakeCache.txt"; then
      start_exe=$build/win32/unsigned/START.EXE
      signed=1
    fi
    same "START.EXE (i686)" "$start_exe" "$second/win32/cd/START.EXE"
    same "Acrobat/Setup.exe" "$build/win32/cd/Acrobat/Setup.exe" "$second/win32/cd/Acrobat/Setup.exe"
    same "Data/Subset.exe" "$build/win32/cd/Data/Subset.exe" "$second/win32/cd/Data/Subset.exe"
    same "start (with its debug information)" "$build/setup/start" "$second/setup/start"
    if [[ -f $build/setup/libmirelund-atk.so ]]; then
      same "libmirelund-atk.so" "$build/setup/libmirelund-atk.so" "$second/setup/libmirelund-atk.so"
    fi
    same "MANUAL.PDF" "$build/MANUAL.PDF" "$second/MANUAL.PDF"
    if [[ $signed -eq 0 ]]; then
      same "mirelund.iso" "$build/mirelund.iso" "$second/mirelund.iso"
    else
      echo "SKIP mirelund.iso: this build signs START.EXE and the second does not, so their images differ by it"
    fi
    ;;
  *) echo "usage: reproduce.sh build|compare BUILD ..." >&2; exit 2 ;;
esac
