#!/usr/bin/env bash
# The whole launcher from the demo CD under a real window manager, on its own
# Xvfb (800x600): the offer's frame where the layout rules put it, the
# confirmation 48,16 px from the offer, keys typed to whatever has the focus
# after a click on the welcome picture and after a click on the offer while
# the confirmation is open, and the whole accept path to exit status 0.
#   wm_test.sh openbox|xfwm4|metacity|blackbox|fluxbox|WM CD_DIR SCREENS_DIR
set -uo pipefail
wm=$1
cd_dir=$(realpath "$2")
export DRIVER_SCREENS=$3

here=$(dirname "$0")
# shellcheck source=../../tools/launcher-driver.sh
source "$here/../../tools/launcher-driver.sh"

failures=0
fail() {
  echo "FAIL: $wm: $*" >&2
  failures=$((failures + 1))
}
note() { echo "$wm: $*"; }

work=$(mktemp -d)
WM_PID=""
cleanup() {
  [[ -n ${DRIVER_LAUNCHER_PID:-} ]] && kill "$DRIVER_LAUNCHER_PID" 2>/dev/null
  [[ -n $WM_PID ]] && kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
  [[ -n ${DRIVER_XVFB_PID:-} ]] && kill "$DRIVER_XVFB_PID" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$DRIVER_SCREENS"
mkdir -p "$DRIVER_SCREENS" "$work/home"
export MIRELUND_STUB_LOG=$work/stubs.log

driver_start_xvfb "$work" || exit 1

# The window manager with a home of its own, so no user settings count.
case $wm in
  openbox) cmd=(openbox --sm-disable) ;;
  xfwm4) cmd=(dbus-run-session -- xfwm4 --compositor=off --sm-client-disable) ;;
  metacity) cmd=(dbus-run-session -- metacity --sm-disable --no-composite) ;;
  *) cmd=("$wm") ;;
esac
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config "${cmd[@]}" >"$work/wm.log" 2>&1 &
WM_PID=$!
for ((i = 0; i < 100; i++)); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
((i < 100)) || { echo "FAIL: $wm did not start: $(cat "$work/wm.log")" >&2; exit 1; }
sleep 0.5  # its settings read and its root windows up

# "X Y W H" of the frame a window manager put the window $1 in (its
# ancestor just below the root), and the frame's extents "LEFT TOP RIGHT
# BOTTOM" around the client area.
frame_of() {
  local id=$1 parent
  while parent=$(xwininfo -children -id "$id" | awk '/Parent window id/ {print $4; exit}') &&
    [[ -n $parent ]] && ! xwininfo -children -id "$id" | grep -q 'Parent window id: .*(the root window)'; do
    id=$parent
  done
  geometry_of "$id"
}
# "X Y W H" of a window on the screen, its border included (xdotool adds a
# reparented window's offset twice).
geometry_of() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /^ *Width:/ {w=$2} /^ *Height:/ {h=$2} /Border width:/ {b=$3}
    END {print x - b, y - b, w + 2 * b, h + 2 * b}'
}
extents_of() {
  local cx cy cw ch fx fy fw fh
  read -r cx cy cw ch < <(geometry_of "$1")
  read -r fx fy fw fh < <(frame_of "$1")
  echo "$((cx - fx)) $((cy - fy)) $((fx + fw - cx - cw)) $((fy + fh - cy - ch))"
}
focused() { xdotool getwindowfocus 2>/dev/null; }
# Waits until the window $1 has the keyboard focus (2 s at most).
wait_focus() {
  local i
  for ((i = 0; i < 20; i++)); do
    [[ $(focused) == "$1" ]] && return 0
    sleep 0.1
  done
  return 1
}

driver_launch "$cd_dir"

# ---- the offer: its frame where the rules put it ----
offer=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_OFFER_WIDTH 20) || { fail "no offer"; exit 1; }
driver_shot 01-welcome-offer "$offer"
read -r fl ft fr fb < <(extents_of "$offer")
read -r ox oy _ _ < <(frame_of "$offer")
note "offer frame at $ox,$oy, extents $fl $ft $fr $fb"
# Rules at 800x600 (15 twips per pixel): Left is 2*Image2.Left + Image2.Width
# = 5412 twips = 361 px; Top is (9000 - DH)/2, ties to even, plus 2000 twips,
# where DH is the offer's 2580 twips plus its frame's height.
want_top=$(awk -v dh=$((2580 + (ft + fb) * 15)) 'BEGIN {
  h = (9000 - dh) / 2; r = int(h); if (h - r > 0.5 || (h - r == 0.5 && r % 2)) r++
  t = 2000 + r; if (t + dh + 150 > 9000) t = 9000 - 150 - dh
  print int(t / 15 + 0.5) }')
# A manager that tells no frame before mapping leaves the program a guess of
# its height, half of which may show in Top; so does fluxbox, which answers
# the request with a taller frame than it then gives a fixed-size dialog.
slack=1
if [[ $wm == fluxbox ]] || ! xprop -root _NET_SUPPORTED | grep -q _NET_REQUEST_FRAME_EXTENTS; then
  slack=$(((ft + fb) / 2 + 1))
fi
((ox >= 360 && ox <= 362 && oy >= want_top - slack && oy <= want_top + slack)) ||
  fail "offer frame at $ox,$oy, expected 361,$want_top (within $slack px)"

# ---- a click on the welcome picture, then keys to the focus ----
xdotool mousemove 40 40 click 1
sleep 0.3
wait_focus "$offer" || fail "after a click on the welcome picture the focus is on $(focused), not on the offer $offer"
welcome_focus=$(focused)
xdotool key --clearmodifiers alt+n
confirm=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_YESNO_WIDTH 5) || fail "alt+n after the click did not reach the offer"

if [[ -n $confirm ]]; then
  driver_shot 02-confirm "$confirm"
  read -r cx cy _ _ < <(frame_of "$confirm")
  note "confirmation frame at $cx,$cy"
  [[ "$((cx - ox)) $((cy - oy))" == "48 16" ]] ||
    fail "confirmation $((cx - ox)),$((cy - oy)) px from the offer, expected 48,16"

  # ---- a click on the offer while the confirmation is open ----
  xdotool mousemove --window "$offer" 6 6 click 1
  sleep 0.3
  wait_focus "$confirm" || fail "after a click on the offer the focus is on $(focused), not on the confirmation $confirm"
  offer_focus=$(focused)
  xdotool key --clearmodifiers Escape  # withdraws the refusal
  driver_wait_gone "$confirm" 5 || fail "Escape after the click did not reach the confirmation"
  sleep 0.3
  wait_focus "$offer" || fail "the focus did not go back to the offer: it is on $(focused)"
fi
xdotool key --clearmodifiers alt+j
driver_walk_accepted || fail "the accept walk stopped early"

driver_wait_exit
[[ $DRIVER_EXIT_STATUS == 0 ]] || fail "launcher exit status $DRIVER_EXIT_STATUS, expected 0"
DRIVER_LAUNCHER_PID=""
grep -q "^Mirelund Setup" "$MIRELUND_STUB_LOG" 2>/dev/null || fail "the game's setup was not started"

note "focus after a click on the welcome picture: ${welcome_focus:-none} (offer $offer)"
note "focus after a click on the offer: ${offer_focus:-none} (confirmation ${confirm:-none})"
echo "screenshots: $DRIVER_SCREENS"
((failures == 0)) && echo "PASS: $wm" || echo "$failures check(s) failed under $wm"
((failures == 0))
