#!/usr/bin/env bash
# Makes the pictures of the launcher's windows that README.md and docs/ show,
# in docs/screens/, from the build in build/: the launcher runs from the demo
# CD folder build/cd on an Xvfb of its own (800x600, no window manager), the
# tests' driver walks the refusing path (driver_walk_decline: the offer
# declined, the refusal confirmed, the game declined), which shows every
# window there is but the two setups and the 20 s wait, and saves the screen
# at each window. The full-screen windows are scaled to half, the dialogs
# cut out with a margin of the welcome picture around them; all are reduced
# to 256 colours and squeezed by optipng (installed from Debian's packages
# where missing). Works from any folder.
#   tools/docs/screenshots.sh            configures and builds what the walk needs, then the pictures
#   JOBS=2 tools/docs/screenshots.sh     the build with that many jobs (default: the processors)
#   SCREENSHOTS_KEEP=DIR ...             also keeps the walk's whole screenshots in DIR
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"
out=$root/docs/screens

"$root/tools/install-deps.sh"
if ! command -v optipng >/dev/null; then
  sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo)
  "${sudo[@]}" apt-get install -y -qq optipng >/dev/null
fi
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"${JOBS:-$(nproc)}" --target democd layouts

# shellcheck source=tests/harness/launcher-driver.sh
source "$root/tests/harness/launcher-driver.sh"

work=$(mktemp -d)
at_exit "rm -rf '$work'"
driver_screens "$work/shots"
start_xvfb 800x600
driver_launch build/cd
driver_walk_decline || die "the walk stopped at the window \"$WALK_STOPPED\""
driver_wait_exit
[[ $DRIVER_EXIT_STATUS == 0 ]] || die "the launcher ended with status $DRIVER_EXIT_STATUS"
[[ -z ${SCREENSHOTS_KEEP:-} ]] || { mkdir -p "$SCREENSHOTS_KEEP" && cp "$work/shots"/* "$SCREENSHOTS_KEEP/"; }

margin=16
mkdir -p "$out"
rm -f "$out"/*.png
# Each window of the walk, by the tests' table: its screenshot without the
# number names the picture; the offer (over the welcome picture) and the
# closing window fill the screen and are halved, the other dialogs cut out.
while IFS=$'\t' read -r _ _ form _ _ _ shot _; do
  name=${shot#[0-9][0-9]-}
  case $form in frmMsgBox | frmOption) how="half" ;; *) how="cut" ;; esac
  from=$work/shots/$shot.png
  [[ -f $from ]] || die "no screenshot $shot from the walk"
  if [[ $how == half ]]; then
    convert "$from" -resize 50% "$work/$name.png"
  else
    read -r x y w h < <(awk -v s="$shot" '$1 == s {print $2, $3, $4, $5}' "$work/shots/geometry.txt")
    [[ -n ${h:-} ]] || die "no place for $shot in the walk's geometry.txt"
    convert "$from" -crop "$((w + 2 * margin))x$((h + 2 * margin))+$((x - margin))+$((y - margin))" +repage \
      "$work/$name.png"
  fi
  convert "$work/$name.png" -colors 256 "PNG8:$out/$name.png"
  optipng -quiet -o5 -strip all "$out/$name.png"
done < <(walk_rows decline)
echo "Pictures of the windows in docs/screens/:"
ls -l "$out"
