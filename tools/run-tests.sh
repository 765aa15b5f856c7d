#!/usr/bin/env bash
# Builds and runs every test on a Debian 12 machine, installing what is
# missing first: the logic and display tests (build/), the same suite under
# AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/), the Windows
# build under wine (build-win32/; build-win64/ where 32-bit programs cannot
# run, see tools/test-win32.sh), and both launchers run from the mounted disc
# image build/mirelund.iso.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
jobs=$(nproc)

"$root/tools/install-deps.sh" --tests

status=0
step() { echo; echo "=== $*"; }

step "Build (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$jobs"

step "Tests (build/)"
ctest --test-dir build --output-on-failure -j"$jobs" --timeout 300 || status=1

step "Sanitizer build (build-asan/)"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DSTART_SANITIZE=ON >/dev/null
cmake --build build-asan -j"$jobs"

step "Tests under ASan + UBSan (build-asan/)"
# X11 and FLTK keep caches for the process's life; leaks are checked where
# only our own code runs. The runs under real window managers (label "wm")
# and the one with real Orca are about the managers and the screen reader's
# speech, not memory: once, in build/, is enough.
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300 -LE "display|valgrind" || status=1
ASAN_OPTIONS=detect_leaks=0:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" --timeout 300 -L display -LE wm -E '^atspi_orca$' || status=1

if [[ -x "$root/tools/test-win32.sh" ]]; then
  step "Windows build under wine"
  "$root/tools/test-win32.sh" || status=1
fi

step "The disc image build/mirelund.iso: both launchers run from it, mounted"
"$root/tools/test-image.sh" || status=1

echo
if [[ $status -eq 0 ]]; then echo "All test stages passed."; else echo "Some test stages FAILED."; fi
exit $status
