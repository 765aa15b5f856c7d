#!/usr/bin/env bash
# START.EXE under wine on GNOME's two monitors (mutter on Wayland, wine on
# its XWayland): a primary of 1024x768 beside one of 800x600, first with the
# primary at the left, then at the right. Windows puts its primary monitor
# at 0,0, so the welcome window must cover exactly the primary monitor, and
# the offer stand where the program puts it on one 1024x768 screen, moved by
# that monitor's corner; then the refusing path with keys, the closing
# window over the primary monitor, and exit status 0. Its own wine prefix,
# made on this display: the run's shared one belongs to its Xvfb.
#   two_monitors.sh WORK LOADER CD
work=$1 loader=$2 cd=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../harness/launcher-driver.sh
source "$here/../harness/launcher-driver.sh"
# shellcheck source=../sequence/desktop.sh
source "$here/../sequence/desktop.sh"
# shellcheck source=../harness/wine-env.sh
source "$here/../harness/wine-env.sh"

wm=mutter-wayland
at_exit desktop_stop
at_exit '[[ -z ${WINESERVER:-} || -z ${WINEPREFIX:-} ]] || "$WINESERVER" -k'

# The refusing walk's windows (keys only): the offer where the program puts
# it on one 1024x768 screen, moved by the primary's corner; the confirmation
# where it stands from the offer; the later notices at the offer's place.
two_window() {  # STEP ID
  driver_place "$2"
  case $1 in
    offer)
      local side=$(((WIDTH - DRIVER_OFFER_WIDTH) / 2)) left top
      read -r left top < <(offer_place 1024 768 $((2 * side)) $((HEIGHT - $(driver_rect offer client | cut -d' ' -f4))))
      check "$r: offer's client ${DRIVER_OFFER_WIDTH}px wide (frame ${WIDTH}x$HEIGHT)" test $((WIDTH - 2 * side)) -eq $DRIVER_OFFER_WIDTH -a $side -le 4
      check "$r: offer at $X,$Y, as on one monitor from the primary's corner ($((mx + left)),$((my + top)))" \
        near "$X,$Y" "$((mx + left)),$((my + top))" 1
      ox=$X oy=$Y
      driver_frame_widths "$2" ;;
    confirm)
      check "$r: confirmation from the offer ($((X - ox)) $((Y - oy)))" test "$((X - ox)) $((Y - oy))" = \
        "$(driver_from_offer confirm)" ;;
    closing)
      check "$r: closing window over the primary monitor ($(driver_geometry "$2"))" test "$(driver_geometry "$2")" = "$primary" ;;
    *) check "$r: ${1/-/ } at the offer's place ($X,$Y)" test "$X,$Y" = "$ox,$oy" ;;
  esac
}

# One run of the launcher on the layout $1.
run() {
  layout=$1 work=$2
  local mx my mw mh welcome ox oy
  r="two monitors ($1)"
  mkdir -p "$work"
  desktop_start || { fail "$r: mutter with two monitors"; return; }
  read -r mx my mw mh <<<"$primary"
  wine_env "$prefix" "$loader"
  if [[ ! -f $prefix/system.reg ]]; then
    check "$r: wine prefix made" wine_make_prefix "$work/prefix.log" || return
  fi
  driver_layouts "$WINE" "$LAYOUTS"
  ln -sfn "$cd" "$WINEPREFIX/dosdevices/d:"
  driver_start "$work/start.log" "$WINE" 'D:\START.EXE'
  welcome=$(driver_wait_window "$DRIVER_WELCOME_TITLE" "" 60) || { fail "$r: welcome window"; return; }
  check "$r: welcome window over the primary monitor $primary ($(driver_geometry "$welcome"))" \
    test "$(driver_geometry "$welcome")" = "$primary"
  WALK_WIDTH=([offer]="" [closing]="") WALK_LIMIT=([offer]=30) WALK_HOOK=two_window
  WALK_KEYS=1 WALK_ANSWER=([sound-notice]="driver_key Return")
  driver_walk_decline || fail "$r: the refusing walk stopped at the $WALK_STOPPED"
  driver_expect_exit "$r: program's exit status"
  "$WINESERVER" -k 2>/dev/null || true
  desktop_stop
}

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
run two "$work/left"
run two-right "$work/right"
