#!/usr/bin/env bash
# Builds and runs every test on a Debian 12 machine, installing what is
# missing first. Three build trees, each tested by CTest:
#   build/        logic, display, screen-reader, window-manager and whole-
#                 sequence tests, and the disc image build/mirelund.iso
#   build-asan/   the same suite under AddressSanitizer + UndefinedBehavior-
#                 Sanitizer
#   build-win32/  the Windows build under wine32, as the CD ships it (the
#                 x86_64 build is made beside it, not tested); where this
#                 machine cannot run that, build-win64/: the x86_64 build
#                 under wine64 (Debian's wine64 runs no 32-bit program)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

"$root/tools/install-deps.sh" --tests --wine32-root-in-background
# shellcheck source=tools/wine32/runs-32bit.sh
source "$root/tools/wine32/runs-32bit.sh"

step() { echo; echo "=== $*"; }

step "Build (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"
step "Sanitizer build (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSTART_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"

# Decided by trying: wine32 runs (the system's, or in its own root where
# the host's i386 packages cannot match their amd64 twins; a root that
# install-deps is making in the background, beside the Linux builds, is
# waited for); the kernel refuses 32-bit programs; or it runs them but
# wine32 is missing or does not start. Where wine32 runs, the x86_64 build
# is still made (both toolchains stay compiled), not tested.
"$root/tools/wine32/wine32-root.sh" wait
no_wine32=$(why_no_wine32)
also=()
if [[ -z $no_wine32 ]]; then
  loader=$(wine32_loader)
  win=build-win32 toolchain=mingw-i686.cmake also=(build-win64 mingw-x86_64.cmake)
  echo "Windows tree build-win32/: 32-bit programs run here and so does $(wine32_where "$loader"): the i686 build runs under wine32; build-win64/ is built, not tested"
else
  loader=/usr/lib/wine/wine64
  win=build-win64 toolchain=mingw-x86_64.cmake
  echo "Windows tree build-win64/: ${no_wine32^}: the x86_64 build runs under wine64; the CD's i686 START.EXE is checked as a file in build/"
fi

step "Windows build ($win/)"
cmake -S . -B "$win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" -DWINE_PROGRAM="$loader" >/dev/null
cmake --build "$win" -j"$jobs"
if [[ ${#also[@]} -gt 0 ]]; then
  step "Windows build, not tested here (${also[0]}/)"
  cmake -S . -B "${also[0]}" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/${also[1]}" >/dev/null
  cmake --build "${also[0]}" -j"$jobs"
fi

status=0
step "Tests (build/)"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300 || status=1

step "Tests under ASan + UBSan (build-asan/)"
# X11 and FLTK keep caches for the process's life; leaks are checked where
# only our own code runs. The runs under real window managers (label "wm")
# and the one with real Orca are about the managers and the screen reader's
# speech, not memory: once, in build/, is enough.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300 -LE "display|valgrind" || status=1
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300 -L display -LE wm -E '^atspi_orca$' || status=1

step "Tests under wine ($win/)"
ctest --test-dir "$win" --output-on-failure -j"$jobs" --timeout 300 || status=1

echo
if [[ $status -eq 0 ]]; then echo "All test stages passed."; else echo "Some test stages FAILED."; fi
exit $status
