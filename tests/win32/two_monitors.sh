#!/usr/bin/env bash
# START.EXE under wine on GNOME's two monitors (mutter on Wayland, wine on
# its XWayland): a primary of 1024x768 beside one of 800x600, first with the
# primary at the left, then at the right. Windows puts its primary monitor
# at 0,0, so the welcome window must cover exactly the primary monitor, and
# the offer stand where the rules put it on one 1024x768 screen, moved by
# that monitor's corner; then the refusing path with keys, the closing
# window over the primary monitor, and exit status 0. Its own wine prefix,
# made on this display: the run's shared one belongs to its Xvfb.
#   two_monitors.sh WORK LOADER CD
work=$1 loader=$2 cd=$3
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../tools/launcher-driver.sh
source "$here/../../tools/launcher-driver.sh"
# shellcheck source=../sequence/desktop.sh
source "$here/../sequence/desktop.sh"
# shellcheck source=../../tools/wine-env.sh
source "$here/../../tools/wine-env.sh"

wm=mutter-wayland
# wine frames its dialogs itself: 3 px at the sides and bottom.
offer_width=377 notice_width=281 box_width=284
at_exit desktop_stop
at_exit '[[ -z ${WINESERVER:-} || -z ${WINEPREFIX:-} ]] || "$WINESERVER" -k'
geometry() { read -r X Y WIDTH HEIGHT < <(driver_geometry "$1"); }  # sets X Y WIDTH HEIGHT

# One run of the launcher on the layout $1.
run() {
  layout=$1 work=$2
  local r="two monitors ($1)" mx my mw mh welcome offer confirm id closing left top
  mkdir -p "$work"
  desktop_start || { fail "$r: mutter with two monitors"; return; }
  read -r mx my mw mh <<<"$primary"
  wine_env "$prefix" "$loader"
  if [[ ! -f $prefix/system.reg ]]; then
    check "$r: wine prefix made" wine_make_prefix "$work/prefix.log" || return
  fi
  ln -sfn "$cd" "$WINEPREFIX/dosdevices/d:"
  "$WINE" 'D:\START.EXE' </dev/null >"$work/start.log" 2>&1 &
  DRIVER_LAUNCHER_PID=$!
  if ! welcome=$(driver_wait_window "$DRIVER_WELCOME_TITLE" "" 60) ||
     ! offer=$(driver_wait_window "$DRIVER_OFFER_TITLE" $offer_width 30); then
    fail "$r: welcome window and offer"
    return
  fi
  check "$r: welcome window over the primary monitor $primary ($(driver_geometry "$welcome"))" \
    test "$(driver_geometry "$welcome")" = "$primary"
  geometry "$offer"
  local side=$(((WIDTH - 371) / 2))
  read -r left top < <(offer_place 1024 768 $((2 * side)) $((HEIGHT - 172)))
  check "$r: offer's client 371x172 (frame ${WIDTH}x$HEIGHT)" test $((WIDTH - 2 * side)) -eq 371 -a $side -le 4
  check "$r: offer at $X,$Y, as on one monitor from the primary's corner ($((mx + left)),$((my + top)))" \
    test $X -ge $((mx + left - 1)) -a $X -le $((mx + left + 1)) -a $Y -ge $((my + top - 1)) -a $Y -le $((my + top + 1))
  local ox=$X oy=$Y
  driver_key "$offer" alt+n
  if confirm=$(driver_wait_window "$DRIVER_OFFER_TITLE" $notice_width 10); then
    geometry "$confirm"
    check "$r: confirmation +48,+16 from the offer (+$((X - ox)),+$((Y - oy)))" test "$((X - ox)),$((Y - oy))" = 48,16
    driver_key "$confirm" alt+j
  else
    fail "$r: confirmation"
  fi
  for step in "manual notice:$DRIVER_OFFER_TITLE:$notice_width:Return" \
    "game question:$DRIVER_NEWBOX_TITLE:$box_width:alt+n" "sound notice:$DRIVER_NEWBOX_TITLE:$box_width:Return"; do
    IFS=: read -r name title width key <<<"$step"
    if id=$(driver_wait_window "$title" "$width" 10); then
      geometry "$id"
      check "$r: $name at the offer's place ($X,$Y)" test "$X,$Y" = "$ox,$oy"
      driver_key "$id" "$key"
      driver_wait_gone "$id" 10
    else
      fail "$r: $name"
    fi
  done
  if closing=$(driver_wait_window "$DRIVER_CLOSING_TITLE" "" 10); then
    check "$r: closing window over the primary monitor ($(driver_geometry "$closing"))" \
      test "$(driver_geometry "$closing")" = "$primary"
    driver_key "$closing" alt+e
  else
    fail "$r: closing window"
  fi
  driver_wait_exit
  expect_eq "$r: program's exit status" 0 "$DRIVER_EXIT_STATUS"
  "$WINESERVER" -k 2>/dev/null || true
  desktop_stop
}

rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
run two "$work/left"
run two-right "$work/right"
