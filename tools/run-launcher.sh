#!/usr/bin/env bash
# Sets up a fresh Debian 12 machine, builds the launcher and the disc image
# into build/ and runs the launcher from build/mirelund.iso mounted read-only
# (by the kernel where it can, else with fuseiso), started by the disc's
# autorun as a desktop does. The setups on the disc are Windows programs:
# they start through wine where wine can run them. Where no image can be
# built or mounted, it runs from the demo CD folder build/cd instead (native
# stub setups), made a volume root by a bind mount in a private mount namespace.
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

# shellcheck source=tests/harness/launcher-driver.sh
source "$root/tests/harness/launcher-driver.sh"

work=$(mktemp -d)
disc=$work/disc
at_exit 'driver_stop; driver_unmount_image "$disc"; mountpoint -q "$disc" || rm -rf "$work"'

if [[ -f build/mirelund.iso ]] && driver_mount_image build/mirelund.iso "$disc"; then
  echo "The disc image build/mirelund.iso is mounted read-only on $disc ($DRIVER_MOUNT_KIND)"
  launch=("$disc" ./autorun)
else
  echo "No disc image could be built or mounted here: the launcher runs from the demo CD folder build/cd"
  launch=(build/cd)
fi

if [[ -n ${DISPLAY:-} ]]; then
  driver_launch "${launch[@]}"
  driver_wait_launcher || exit
  exit 0
fi

driver_screens "$root/build/screens"

start_xvfb
echo "Running the launcher on Xvfb $DISPLAY (about $((WALK_WAIT_SECONDS + 10)) s: it waits $WALK_WAIT_SECONDS s" \
  "after the Acrobat Reader setup)"
driver_launch "${launch[@]}"
status=0
if driver_walk_accept; then
  driver_wait_launcher || status=$?
else
  echo "The walk through the windows stopped early; the launcher is ended." >&2
  driver_stop
  status=1
fi

echo "Screenshots of every window: $DRIVER_SCREENS/"
ls "$DRIVER_SCREENS"
echo "Launcher exit status: $status"
exit "$status"
