#!/usr/bin/env bash
# The whole launcher from the demo CD under a real window manager (800x600,
# 96 dpi): the offer's frame where the layout rules put it, the confirmation
# 48,16 px from the offer and every later notice at the offer's place; the
# full-screen windows in the taskbar and the dialogs not, and the open dialog
# on top with the keyboard when the launcher is brought back from another
# program; keys typed to whatever has the focus after a click on the welcome
# picture and after a click on the offer while the confirmation is open, and
# the whole accept path to exit status 0. The X11 managers run on their own
# Xvfb; the Wayland compositors headless, the launcher on their XWayland.
#   wm_test.sh openbox|xfwm4|metacity|blackbox|fluxbox|pekwm|mutter|kwin_x11|mutter-wayland|kwin_wayland|WM
#              CD_DIR SCREENS_DIR
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
WM_PID="" OTHER_PID=""
cleanup() {
  [[ -n ${DRIVER_LAUNCHER_PID:-} ]] && kill "$DRIVER_LAUNCHER_PID" 2>/dev/null
  [[ -n $OTHER_PID ]] && kill "$OTHER_PID" 2>/dev/null
  # dbus-run-session does not pass a signal on to the manager it runs.
  if [[ -n $WM_PID ]]; then
    pkill -P "$WM_PID" 2>/dev/null
    kill "$WM_PID" 2>/dev/null && wait "$WM_PID" 2>/dev/null
  fi
  [[ -n ${DRIVER_XVFB_PID:-} ]] && kill "$DRIVER_XVFB_PID" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
rm -rf "$DRIVER_SCREENS"
mkdir -p "$DRIVER_SCREENS" "$work/home" "$work/runtime"
chmod 700 "$work/runtime"
export MIRELUND_STUB_LOG=$work/stubs.log

# mutter's settings as a GNOME session has them: modal dialogs attached to
# their parents (mutter's own default is not to). Its own schema folder, so
# no user's or machine's settings count.
gnome_settings() {
  local dir=$work/schemas
  mkdir -p "$dir"
  cp /usr/share/glib-2.0/schemas/*.xml "$dir/"
  printf '[org.gnome.mutter]\nattach-modal-dialogs=true\n' >"$dir/90_gnome-session.gschema.override"
  glib-compile-schemas "$dir" || return 1
  export GSETTINGS_SCHEMA_DIR=$dir GSETTINGS_BACKEND=memory
  [[ $(gsettings get org.gnome.mutter attach-modal-dialogs) == true ]]
}
case $wm in
  mutter | mutter-wayland) gnome_settings || { echo "FAIL: $wm: GNOME's settings could not be made" >&2; exit 1; } ;;
esac

wayland=0
[[ $wm == *wayland ]] && wayland=1
if ((wayland == 0)); then
  driver_start_xvfb "$work" || exit 1
fi

# The window manager with a home of its own, so no user settings count.
export XDG_RUNTIME_DIR=$work/runtime
case $wm in
  openbox) cmd=(openbox --sm-disable) ;;
  xfwm4) cmd=(dbus-run-session -- xfwm4 --compositor=off --sm-client-disable) ;;
  metacity) cmd=(dbus-run-session -- metacity --sm-disable --no-composite) ;;
  mutter) cmd=(dbus-run-session -- mutter --x11 --replace --sm-disable) ;;
  kwin_x11) cmd=(dbus-run-session -- env QT_QPA_PLATFORM=xcb kwin_x11 --replace) ;;
  mutter-wayland) cmd=(dbus-run-session -- mutter --wayland --headless --virtual-monitor 800x600 --sm-disable) ;;
  kwin_wayland)
    # The installed binary carries a file capability (cap_sys_resource),
    # and where processes may not gain it (containers) exec refuses it with
    # EPERM; a plain copy carries none. It tells the XWayland display to the
    # program it starts.
    kwin=$(command -v kwin_wayland) && cp "$kwin" "$work/kwin_wayland"
    printf '#!/bin/sh\necho "$DISPLAY $XAUTHORITY" >"%s.tmp" && mv "%s.tmp" "%s"\n' \
      "$work/xdisplay" "$work/xdisplay" "$work/xdisplay" >"$work/tell-display"
    chmod +x "$work/tell-display"
    cmd=(dbus-run-session -- env QT_QPA_PLATFORM=wayland "$work/kwin_wayland" --virtual --xwayland --width 800 --height 600
         "$work/tell-display") ;;
  *) cmd=("$wm") ;;
esac
HOME=$work/home XDG_CONFIG_HOME=$work/home/.config "${cmd[@]}" </dev/null >"$work/wm.log" 2>&1 &
WM_PID=$!
if ((wayland)); then
  # The XWayland display the compositor started, and its key.
  for ((i = 0; i < 200; i++)); do
    if [[ $wm == mutter-wayland ]]; then
      n=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/wm.log" | head -n1)
      auth=$(ls "$XDG_RUNTIME_DIR"/.mutter-Xwaylandauth.* 2>/dev/null | head -n1)
      [[ -n $n && -n $auth ]] && export DISPLAY=$n XAUTHORITY=$auth && break
    elif [[ -s $work/xdisplay ]]; then
      read -r n auth <"$work/xdisplay"
      export DISPLAY=$n
      [[ -n ${auth:-} ]] && export XAUTHORITY=$auth
      break
    fi
    sleep 0.1
  done
  ((i < 200)) || { echo "FAIL: $wm gave no X display: $(tail -n 20 "$work/wm.log")" >&2; exit 1; }
fi
for ((i = 0; i < 100; i++)); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
((i < 100)) || { echo "FAIL: $wm did not start: $(cat "$work/wm.log")" >&2; exit 1; }
sleep 0.5  # its settings read and its root windows up

# "X Y W H" of the frame a window manager put the window $1 in: around its
# client area by the _NET_FRAME_EXTENTS it published (mutter's frame window
# also holds invisible borders to resize by), else its ancestor just below
# the root; and the frame's extents "LEFT TOP RIGHT BOTTOM".
frame_of() {
  local cx cy cw ch l t r b
  if read -r l t r b < <(published_extents "$1"); then
    read -r cx cy cw ch < <(geometry_of "$1")
    echo "$((cx - l)) $((cy - t)) $((cw + l + r)) $((ch + t + b))"
  else
    ancestor_of "$1"
  fi
}
published_extents() {  # EWMH gives left, right, top, bottom
  xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null |
    awk -F'[=,]' '/CARDINAL/ && NF == 5 {print $2 + 0, $4 + 0, $3 + 0, $5 + 0; ok = 1} END {exit !ok}'
}
ancestor_of() {
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

# Every window the walk shows: its frame noted for the checks below, and the
# screen saved (a rootless XWayland has no picture of its root to give).
driver_shot() {
  sleep 0.7
  ((wayland)) || import -window root "$DRIVER_SCREENS/$1.png"
  echo "$1 $(frame_of "$2")" >>"$DRIVER_SCREENS/frames.txt"
}
pixel_at() { import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null | grep -o '#[0-9A-F]\{6\}' | tr -d '#'; }
net_state() { xprop -id "$1" _NET_WM_STATE 2>/dev/null; }
# Whether the window $1 is stacked above the window $2, by the manager's
# own list, bottom first; unknown (status 2) where it keeps none.
stacked_above() {
  local a b i=0 ia=0 ib=0 id
  a=$(printf '0x%x' "$1") b=$(printf '0x%x' "$2")
  for id in $(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | grep -o '0x[0-9a-f]*'); do
    i=$((i + 1))
    [[ $id == "$a" ]] && ia=$i
    [[ $id == "$b" ]] && ib=$i
  done
  ((i > 0)) || return 2
  ((ia > 0 && ib > 0 && ia > ib))
}

driver_launch "$cd_dir"

# ---- the offer: its frame where the rules put it ----
offer=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_OFFER_WIDTH 20) || { fail "no offer"; exit 1; }
driver_shot 01-welcome-offer "$offer"
welcome=$(driver_wait_window "$DRIVER_WELCOME_TITLE" "" 5) || fail "no welcome window"
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
# fluxbox answers the frame request with a taller frame than it then gives
# a fixed-size dialog; half the difference shows in Top.
slack=1
[[ $wm == fluxbox ]] && slack=$(((ft + fb) / 2 + 1))
((ox >= 360 && ox <= 362 && oy >= want_top - slack && oy <= want_top + slack)) ||
  fail "offer frame at $ox,$oy, expected 361,$want_top (within $slack px)"

# ---- the taskbar: the full-screen window in it, the dialog not ----
if [[ -n $welcome ]]; then
  net_state "$welcome" | grep -q SKIP_TASKBAR && fail "the welcome window is left out of the taskbar: $(net_state "$welcome")"
  xprop -root _NET_CLIENT_LIST | grep -qiwF "$(printf '0x%x' "$welcome")" || fail "the welcome window is not in the client list"
fi
net_state "$offer" | grep -q SKIP_TASKBAR || fail "the offer is in the taskbar: $(net_state "$offer")"

# ---- away to another program and back, as from a taskbar ----
((wayland)) || offer_pixel=$(pixel_at $((ox + 20)) $((oy + ft + 20)))
xmessage -name other -geometry 300x200+20+20 "Ein anderes Programm" &
OTHER_PID=$!
other=$(driver_wait_window other "" 5) || other=""
if [[ -n $other && -n $welcome ]]; then
  xdotool windowactivate "$other" 2>/dev/null
  wait_focus "$other" || note "the other program did not get the focus (it is on $(focused))"
  sleep 0.3
  ((wayland)) || [[ $(pixel_at 150 120) == FFFFFF ]] || note "the other program did not come to the front"
  xdotool windowactivate "$welcome" 2>/dev/null
  wait_focus "$offer" || fail "back from another program the focus is on $(focused), not on the offer $offer"
  driver_shot 01-back-from-other "$offer"
  # What shows, read from the screen where the X server has it: not every
  # manager keeps its stacking list in order (fluxbox, pekwm). The other
  # program's text area is white, the welcome picture there is not; the
  # offer's pixels are as before.
  if ((wayland)); then
    stacked_above "$offer" "$welcome"
    (($? == 1)) && fail "back from another program the offer is not above the welcome window"
    stacked_above "$welcome" "$other"
    (($? == 1)) && fail "back from another program the welcome window is not above the other program"
  else
    [[ $(pixel_at $((ox + 20)) $((oy + ft + 20))) == "$offer_pixel" ]] ||
      fail "back from another program the offer does not show on top"
    if [[ $(pixel_at 150 120) == FFFFFF ]]; then
      # blackbox focuses an activated window without raising it, and raises
      # none of ours on a click either; it has no taskbar to come back from.
      if [[ $wm == blackbox ]]; then
        note "back from another program the other program still covers the welcome window"
      else
        fail "back from another program the other program still covers the welcome window"
      fi
    fi
  fi
else
  fail "no other program's window to switch to"
fi
kill "$OTHER_PID" 2>/dev/null
wait "$OTHER_PID" 2>/dev/null
OTHER_PID=""
sleep 0.3
wait_focus "$offer" || { xdotool windowactivate "$welcome" 2>/dev/null; wait_focus "$offer"; } ||
  fail "with the other program gone the focus is on $(focused), not on the offer"

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

# ---- every later notice at the offer's place ----
for shot in 04-manual-notice 05-game-question 07-sound-notice; do
  read -r _ nx ny _ < <(grep "^$shot " "$DRIVER_SCREENS/frames.txt")
  if [[ -z ${nx:-} ]]; then
    fail "no frame noted for $shot"
  elif ((nx < ox - 1 || nx > ox + 1 || ny < oy - 1 || ny > oy + 1)); then
    fail "$shot frame at $nx,$ny, expected the offer's $ox,$oy"
  fi
  nx=""
done

driver_wait_exit
[[ $DRIVER_EXIT_STATUS == 0 ]] || fail "launcher exit status $DRIVER_EXIT_STATUS, expected 0"
DRIVER_LAUNCHER_PID=""
grep -q "^Mirelund Setup" "$MIRELUND_STUB_LOG" 2>/dev/null || fail "the game's setup was not started"

note "focus after a click on the welcome picture: ${welcome_focus:-none} (offer $offer)"
note "focus after a click on the offer: ${offer_focus:-none} (confirmation ${confirm:-none})"
echo "screenshots: $DRIVER_SCREENS"
((failures == 0)) && echo "PASS: $wm" || echo "$failures check(s) failed under $wm"
((failures == 0))
