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
screens=$4
place=${5:-mounted}

# shellcheck source=../harness/launcher-driver.sh
source "$(dirname "$0")/../harness/launcher-driver.sh"
work=$(mktemp -d)
at_exit rm -rf "$work"
driver_screens "$screens"
export MIRELUND_STUB_LOG=$work/stubs.log

case $place in
  copied) mkdir "$work/Kopie der CD" && cp -a "$cd_dir/." "$work/Kopie der CD/" && cd_dir="$work/Kopie der CD" ;;
  backslash) mkdir "$work/back\\slash" && cp -a "$cd_dir/." "$work/back\\slash/" && cd_dir="$work/back\\slash" ;;
esac

start_xvfb
if [[ $place == copied ]]; then driver_launch "$cd_dir" copied; else driver_launch "$cd_dir"; fi
"driver_walk_$scenario" || fail "the $scenario walk stopped early"

driver_expect_exit "launcher exit status"  # by itself after "&Ende"

# ---- the stub setups ----
log=$(cat "$MIRELUND_STUB_LOG" 2>/dev/null || true)
if [[ $scenario == accept ]]; then
  expected=$(printf 'Acrobat Reader Setup\t%s\t%s\nMirelund Setup\t%s\t%s' \
    "$cd_dir/Acrobat/Setup.exe" "$cd_dir" "$cd_dir/Data/Subset.exe" "$cd_dir")
  expect_eq "stub log" "$expected" "$log"
else
  expect_eq "setups started although everything was declined" "" "$log"
fi

# ---- the screenshots, against where the program puts its windows ----
count() { "$probe" "$DRIVER_SCREENS/$1.png" count "${@:2}"; }
geometry() { grep "^$1 " "$DRIVER_SCREENS/geometry.txt" | cut -d' ' -f2-; }

# A dialog: at its client position (±1 px), its client area mostly dark
# blue (0,0,64), with orange (255,128,0) text in it.
check_dialog() {  # SHOT STEP
  local shot=$1 step=$2 x y w h wx wy blue orange
  [[ -f $DRIVER_SCREENS/$shot.png ]] || { fail "$shot: no screenshot"; return; }
  read -r x y w h < <(geometry "$shot")
  read -r wx wy _ _ < <(driver_rect "$step" client)
  check "$shot: dialog at $x,$y, expected $wx,$wy" near "$x,$y" "$wx,$wy" 1
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

# The closing window covers the screen; "&Ende" is a grey face with dark
# text on the picture, nothing of it above its place.
check_closing() {
  local shot=$1 face dark outside x y w h
  [[ -f $DRIVER_SCREENS/$shot.png ]] || { fail "$shot: no screenshot"; return; }
  expect_eq "$shot: the closing window covers the screen" "0 0 800 600" "$(geometry "$shot")"
  read -r x y w h < <(driver_rect closing Command1)
  face=$(count "$shot" "$x" "$y" "$w" "$h" 192 192 192 24)
  dark=$(count "$shot" "$x" "$y" "$w" "$h" 0 0 0 60)
  expect_ge "$shot: button-face pixels in the button region" $((w * h / 2)) "$face"
  expect_ge "$shot: the caption's dark pixels in the button region" 20 "$dark"
  outside=$(count "$shot" "$x" $((y - 40)) "$w" "$h" 192 192 192 24)
  check "$shot: no button face above the button ($outside pixels)" test "$outside" -lt $((w * h / 2))
}

# Each window of the walk by its kind: a setup's (a stub), the closing
# window, a dialog of ours; the welcome window during the wait has no check.
while IFS=$'\t' read -r _ step form _ _ _ shot _; do
  case $form in
    -) check_stub "$shot" ;;
    frmOption) check_closing "$shot" ;;
    frmAcrobat) ;;
    *) check_dialog "$shot" "$step" ;;
  esac
done < <(walk_rows "$scenario")
echo "screenshots: $DRIVER_SCREENS"
