#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the launcher into build/ and runs
# it from the demo CD build/cd, made a volume root by a bind mount in a
# private mount namespace, so that both stub setups really start.
#   With DISPLAY set: runs it there for you to click through.
#   Without DISPLAY: runs it on its own Xvfb, accepts everything by keys and
#   clicks, saves a screenshot of each window under build/screens/.
# Exits with the launcher's status.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

"$root/tools/install-deps.sh"
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
[[ -x build/cd/start ]] || { echo "build/cd/start was not built (is FLTK installed?)" >&2; exit 1; }

# shellcheck source=tools/launcher-driver.sh
source "$root/tools/launcher-driver.sh"

if [[ -n ${DISPLAY:-} ]]; then
  driver_launch build/cd
  wait "$DRIVER_LAUNCHER_PID"
  exit
fi

export DRIVER_SCREENS=$root/build/screens
rm -rf "$DRIVER_SCREENS"
mkdir -p "$DRIVER_SCREENS"
work=$(mktemp -d)
cleanup() {
  [[ -n ${DRIVER_LAUNCHER_PID:-} ]] && kill "$DRIVER_LAUNCHER_PID" 2>/dev/null
  [[ -n ${DRIVER_XVFB_PID:-} ]] && kill "$DRIVER_XVFB_PID" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

driver_start_xvfb "$work"
echo "Running the launcher on Xvfb $DISPLAY (about 30 s: it waits 20 s after the Acrobat Reader setup)"
driver_launch build/cd
walked=0
driver_walk_accept || walked=$?

status=0
if [[ $walked -eq 0 ]]; then
  wait "$DRIVER_LAUNCHER_PID" || status=$?
else
  echo "The walk through the windows stopped early; the launcher is ended." >&2
  kill "$DRIVER_LAUNCHER_PID" 2>/dev/null || true
  wait "$DRIVER_LAUNCHER_PID" || true
  status=1
fi
DRIVER_LAUNCHER_PID=""

echo "Screenshots of every window: $DRIVER_SCREENS/"
ls "$DRIVER_SCREENS"
echo "Launcher exit status: $status"
exit "$status"
