#!/usr/bin/env bash
# The whole launcher from the demo CD on its own Xvfb, driven by keys and
# clicks through one scenario, with the stub setups really started; checks
# the stub log, the screenshots at pixel level and the exit status.
#   sequence_test.sh accept|decline CD_DIR PNGPROBE SCREENS_DIR [PLACE]
# PLACE: "mounted" (default, the CD folder a volume root), "copied" (a copy
# of it in a plain folder with blanks in its name), "backslash" (a copy in a
# folder named with a backslash, mounted).
scenario=$1
cd_dir=$(realpath "$2")
probe=$3
export DRIVER_SCREENS=$4
place=${5:-mounted}

# shellcheck source=../../tools/launcher-driver.sh
source "$(dirname "$0")/../../tools/launcher-driver.sh"
work=$(mktemp -d)
at_exit rm -rf "$work"
rm -rf "$DRIVER_SCREENS"
mkdir -p "$DRIVER_SCREENS"
export MIRELUND_STUB_LOG=$work/stubs.log

case $place in
  copied) mkdir "$work/Kopie der CD" && cp -a "$cd_dir/." "$work/Kopie der CD/" && cd_dir="$work/Kopie der CD" ;;
  backslash) mkdir "$work/back\\slash" && cp -a "$cd_dir/." "$work/back\\slash/" && cd_dir="$work/back\\slash" ;;
esac

start_xvfb
if [[ $place == copied ]]; then driver_launch "$cd_dir" copied; else driver_launch "$cd_dir"; fi
"driver_walk_$scenario" || fail "the $scenario walk stopped early"

# The launcher must end by itself after "&Ende".
driver_wait_exit
expect_eq "launcher exit status" 0 "$DRIVER_EXIT_STATUS"

# ---- the stub setups ----
log=$(cat "$MIRELUND_STUB_LOG" 2>/dev/null || true)
if [[ $scenario == accept ]]; then
  expected=$(printf 'Acrobat Reader Setup\t%s\t%s\nMirelund Setup\t%s\t%s' \
    "$cd_dir/Acrobat/Setup.exe" "$cd_dir" "$cd_dir/Data/Subset.exe" "$cd_dir")
  expect_eq "stub log" "$expected" "$log"
else
  expect_eq "setups started although everything was declined" "" "$log"
fi

# ---- the screenshots ----
count() { "$probe" "$DRIVER_SCREENS/$1.png" count "${@:2}"; }
geometry() { grep "^$1 " "$DRIVER_SCREENS/geometry.txt" | cut -d' ' -f2-; }

# A dialog: at the expected client position (±1 px), its client area mostly
# dark blue (0,0,64), with orange (255,128,0) text in it.
check_dialog() {
  local shot=$1 x y w h blue orange
  [[ -f $DRIVER_SCREENS/$shot.png ]] || { fail "$shot: no screenshot"; return; }
  read -r x y w h < <(geometry "$shot")
  check "$shot: dialog at $x,$y, expected $2,$3" near "$x,$y" "$2,$3" 1
  blue=$(count "$shot" "$x" "$y" "$w" "$h" 0 0 64 4)
  check "$shot: $blue of $((w * h)) pixels dark blue" test $((blue * 100)) -ge $((w * h * 40))
  orange=$(count "$shot" "$x" "$y" "$w" "$h" 255 128 0 40)
  check "$shot: $orange orange text pixels" test "$orange" -ge 50
}

# Covers the screen in the stub's green.
check_stub() {
  [[ -f $DRIVER_SCREENS/$1.png ]] || { fail "$1: the stub setup's window was not seen"; return; }
  local green
  green=$(count "$1" 0 0 800 600 40 72 48 2)
  check "$1: the stub covers $green pixels" test "$green" -ge $((800 * 600 * 9 / 10))
}

# The closing window covers the screen; "&Ende" stands 30 px from the right
# and bottom edges (81x25 px), a grey face with dark text on the picture.
check_closing() {
  local shot=$1 face dark outside
  [[ -f $DRIVER_SCREENS/$shot.png ]] || { fail "$shot: no screenshot"; return; }
  expect_eq "$shot: the closing window covers the screen" "0 0 800 600" "$(geometry "$shot")"
  face=$(count "$shot" 689 545 81 25 192 192 192 24)
  dark=$(count "$shot" 689 545 81 25 0 0 0 60)
  expect_ge "$shot: button-face pixels in the button region" $((81 * 25 / 2)) "$face"
  expect_ge "$shot: the caption's dark pixels in the button region" 20 "$dark"
  outside=$(count "$shot" 689 505 81 25 192 192 192 24)
  check "$shot: no button face above the button ($outside pixels)" test "$outside" -lt $((81 * 25 / 2))
}

# Positions from the layout rules at 800x600: the offer's left is
# 2*Image2.Left + Image2.Width = 720 + 3255*12000/8325 twips = 361 px, its top
# (9000-2580)/2 + 9000/4.5 = 5210 twips = 347 px; the confirmation is centred
# on the offer (409, 363); the notices stand where the offer stood.
check_dialog 01-welcome-offer 361 347
if [[ $scenario == accept ]]; then
  check_stub 02-acrobat-setup
  check_dialog 04-manual-notice 361 347
  check_dialog 05-game-question 361 347
  check_stub 06-game-setup
  check_dialog 07-sound-notice 361 347
  check_closing 08-closing
else
  check_dialog 02-confirm 409 363
  check_dialog 03-manual-notice 361 347
  check_dialog 04-game-question 361 347
  check_dialog 05-sound-notice 361 347
  check_closing 06-closing
fi
echo "screenshots: $DRIVER_SCREENS"
