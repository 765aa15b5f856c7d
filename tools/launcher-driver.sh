# Shell functions that mount the disc image (or make the demo CD folder a
# volume root), run the launcher from it and walk through its windows with
# xdotool on an X display without a window manager, saving a screenshot of
# each window. Sourced by run-launcher.sh, the benchmarks and the
# whole-sequence tests on Linux, under wine and from the disc image; needs
# bash.

# Pixel positions below come from the window definitions (twips / 15 at
# 96 dpi): the middle of each button inside its window's client area.
readonly DRIVER_OFFER_TITLE='Acrobat Reader Installation \(empfohlen\)'  # offer, confirmation, manual notice
readonly DRIVER_NEWBOX_TITLE='Mirelund  Installation '                    # game question, sound notice
readonly DRIVER_WELCOME_TITLE='Willkommen zur Mirelund Installation\.'
readonly DRIVER_CLOSING_TITLE='Range of our products \.\.\.'
readonly DRIVER_OFFER_WIDTH=371 DRIVER_YESNO_WIDTH=275
readonly DRIVER_OFFER_JA="296 148" DRIVER_YESNO_JA="192 116"
readonly DRIVER_NEWBOX_NINE="80 100" DRIVER_NEWBOX_OK="144 100"

driver_log() { echo "[launcher] $*" >&2; }

# Starts Xvfb on a free display number (800x600x24 or the size $2, 96 dpi);
# sets DISPLAY and DRIVER_XVFB_PID. $1: a folder for its files.
driver_start_xvfb() {
  local dir=$1 size=${2:-800x600} i
  : >"$dir/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/xvfb.log" &
  DRIVER_XVFB_PID=$!
  for ((i = 0; i < 100; i++)); do
    [[ -s $dir/display ]] && break
    sleep 0.1
  done
  [[ -s $dir/display ]] || { driver_log "Xvfb did not start (see $dir/xvfb.log)"; return 1; }
  DISPLAY=":$(head -n1 "$dir/display")"
  export DISPLAY
}

# Runs `start` (or the program $2) of the CD folder $1 in the background,
# from that folder, as an autorun does; sets DRIVER_LAUNCHER_PID. A mounted
# disc is a volume root already; a plain folder is bound onto itself in a
# private mount namespace, so its program folder is a volume root as on a CD.
# With $2 "copied" the folder stays a plain folder, as a CD copied onto a disk.
driver_launch() {
  local cd program=${2:-./start}
  cd=$(realpath "$1")
  if [[ $program == copied ]]; then
    (cd "$cd" && exec ./start) &
    DRIVER_LAUNCHER_PID=$!
    return
  fi
  local ns=(-m --propagation private)
  [[ $(id -u) -ne 0 ]] && ns=(-r "${ns[@]}")
  if mountpoint -q "$cd"; then
    (cd "$cd" && exec "$program") &
  elif unshare "${ns[@]}" sh -c 'mount --bind "$1" "$1"' sh "$cd" 2>/dev/null; then
    unshare "${ns[@]}" sh -c 'mount --bind "$1" "$1" && cd "$1" && exec "$2"' sh "$cd" "$program" &
  else
    driver_log "note: no mount namespace here; the CD folder runs as a plain folder"
    (cd "$cd" && exec "$program") &
  fi
  DRIVER_LAUNCHER_PID=$!
}

# Waits up to 10 s for the launcher to end by itself; sets DRIVER_EXIT_STATUS
# to its exit status, or "timeout". Not in a subshell: only this shell can
# wait for the launcher.
driver_wait_exit() {
  local i
  DRIVER_EXIT_STATUS=timeout
  for ((i = 0; i < 100; i++)); do
    if ! kill -0 "$DRIVER_LAUNCHER_PID" 2>/dev/null; then
      wait "$DRIVER_LAUNCHER_PID"
      DRIVER_EXIT_STATUS=$?
      break
    fi
    sleep 0.1
  done
}

# Mounts the disc image $1 read-only on the folder $2: by the kernel (loop
# device, iso9660) where it can, else with fuseiso. Sets DRIVER_MOUNT_KIND to
# "loop" or "fuseiso"; fails when neither works.
driver_mount_image() {
  local iso=$1 dir=$2 sudo=()
  [[ $(id -u) -ne 0 ]] && sudo=(sudo -n)
  mkdir -p "$dir"
  if "${sudo[@]}" mount -t iso9660 -o loop,ro "$iso" "$dir" 2>/dev/null; then
    DRIVER_MOUNT_KIND=loop
  elif command -v fuseiso >/dev/null && fuseiso "$iso" "$dir" -o ro 2>/dev/null && mountpoint -q "$dir"; then
    DRIVER_MOUNT_KIND=fuseiso
  else
    driver_log "cannot mount $iso: neither a loop mount nor fuseiso works here"
    return 1
  fi
}

driver_unmount_image() {
  local dir=$1 sudo=()
  mountpoint -q "$dir" || return 0
  [[ $(id -u) -ne 0 ]] && sudo=(sudo -n)
  if [[ ${DRIVER_MOUNT_KIND:-} == fuseiso ]]; then
    fusermount -u "$dir" 2>/dev/null || "${sudo[@]}" umount "$dir"
  else
    "${sudo[@]}" umount "$dir" 2>/dev/null || fusermount -u "$dir"
  fi
}

# "X Y W H" of a window.
driver_geometry() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# Waits for a shown window whose whole title matches the regular expression
# $1 and, if $2 is given, that is $2 pixels wide; prints its id.
driver_wait_window() {
  local title=$1 width=${2:-} timeout=${3:-15} id
  local deadline=$((SECONDS + timeout))
  while ((SECONDS < deadline)); do
    for id in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null); do
      if [[ -z $width || $(driver_geometry "$id" | cut -d' ' -f3) == "$width" ]]; then
        echo "$id"
        return 0
      fi
    done
    sleep 0.1
  done
  driver_log "no window \"$title\"${width:+ $width px wide} within $timeout s"
  return 1
}

driver_wait_gone() {
  local id=$1 timeout=${2:-15}
  local deadline=$((SECONDS + timeout))
  while ((SECONDS < deadline)); do
    xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || return 0
    sleep 0.1
  done
  driver_log "window $id still shown after $timeout s"
  return 1
}

# Saves the screen as $DRIVER_SCREENS/$1.png once the window $2 has had time
# to paint, and notes the window's geometry in geometry.txt for the checks.
driver_shot() {
  sleep 0.7
  import -window root "$DRIVER_SCREENS/$1.png"
  echo "$1 $(driver_geometry "$2")" >>"$DRIVER_SCREENS/geometry.txt"
}

# Keys go to the focus window; with no window manager focus is set directly.
driver_key() {
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "$2"
}

driver_click() {
  local id=$1 x=$2 y=$3
  xdotool mousemove --window "$id" "$x" "$y" click 1
}

# The stub setup window titled $1, screenshot $2; closed by a click when $3 is
# "click", else left to close itself. A missing stub is reported, not fatal.
driver_stub() {
  local id
  id=$(driver_wait_window "$1" "" 5) || return 0
  driver_shot "$2" "$id"
  [[ ${3:-} == click ]] && driver_click "$id" 400 300
  driver_wait_gone "$id" 10
}

# Accepts everything, mixing keys and clicks. $DRIVER_SCREENS must be set.
driver_walk_accept() {
  local id
  id=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_OFFER_WIDTH 20) || return 1
  driver_shot 01-welcome-offer "$id"
  # shellcheck disable=SC2086
  driver_click "$id" $DRIVER_OFFER_JA
  driver_walk_accepted
}

# From the Acrobat Reader setup on, once the offer was accepted.
driver_walk_accepted() {
  local id
  driver_stub "Acrobat Reader Setup" 02-acrobat-setup
  id=$(driver_wait_window "$DRIVER_WELCOME_TITLE" "" 5) || return 1
  driver_shot 03-waiting "$id"
  driver_log "waiting the 20 seconds after the Acrobat Reader setup"
  id=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_YESNO_WIDTH 30) || return 1
  driver_shot 04-manual-notice "$id"
  driver_key "$id" alt+o
  driver_wait_gone "$id" || return 1
  id=$(driver_wait_window "$DRIVER_NEWBOX_TITLE") || return 1
  driver_shot 05-game-question "$id"
  driver_key "$id" alt+j
  driver_wait_gone "$id" || return 1
  driver_stub "Mirelund Setup" 06-game-setup click
  id=$(driver_wait_window "$DRIVER_NEWBOX_TITLE") || return 1
  driver_shot 07-sound-notice "$id"
  # shellcheck disable=SC2086
  driver_click "$id" $DRIVER_NEWBOX_OK
  driver_wait_gone "$id" || return 1
  driver_closing 08-closing
}

# Declines the Acrobat Reader, confirms that, and declines the game.
driver_walk_decline() {
  local id
  id=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_OFFER_WIDTH 20) || return 1
  driver_shot 01-welcome-offer "$id"
  driver_key "$id" alt+n
  id=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_YESNO_WIDTH) || return 1
  driver_shot 02-confirm "$id"
  # shellcheck disable=SC2086
  driver_click "$id" $DRIVER_YESNO_JA
  driver_wait_gone "$id" || return 1
  id=$(driver_wait_window "$DRIVER_OFFER_TITLE" $DRIVER_YESNO_WIDTH) || return 1
  driver_shot 03-manual-notice "$id"
  driver_key "$id" Return
  driver_wait_gone "$id" || return 1
  id=$(driver_wait_window "$DRIVER_NEWBOX_TITLE") || return 1
  driver_shot 04-game-question "$id"
  # shellcheck disable=SC2086
  driver_click "$id" $DRIVER_NEWBOX_NINE
  driver_wait_gone "$id" || return 1
  id=$(driver_wait_window "$DRIVER_NEWBOX_TITLE") || return 1
  driver_shot 05-sound-notice "$id"
  driver_key "$id" alt+o
  driver_wait_gone "$id" || return 1
  driver_closing 06-closing key
}

# The closing window: "&Ende" sits 30 pixels from the right and bottom edges.
driver_closing() {
  local id w h
  id=$(driver_wait_window "$DRIVER_CLOSING_TITLE") || return 1
  driver_shot "$1" "$id"
  if [[ ${2:-} == key ]]; then
    driver_key "$id" alt+e
  else
    read -r _ _ w h < <(driver_geometry "$id")
    driver_click "$id" $((w - 30 - 41)) $((h - 30 - 13))
  fi
}
