# Shell functions that mount the disc image (or make the demo CD folder a
# volume root), run the launcher from it and walk through its windows with
# xdotool, on an X display without a window manager or under one, natively
# or under wine. Sourced by run-launcher.sh, the benchmarks and the
# whole-sequence tests; needs bash.
# shellcheck source=harness.sh
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

readonly DRIVER_OFFER_TITLE='Acrobat Reader Installation \(empfohlen\)'  # offer, confirmation, manual notice
readonly DRIVER_NEWBOX_TITLE='Mirelund  Installation '                    # game question, sound notice
readonly DRIVER_WELCOME_TITLE='Willkommen zur Mirelund Installation\.'
readonly DRIVER_CLOSING_TITLE='Range of our products \.\.\.'
# Pixel positions below come from the window definitions (twips / 15 at
# 96 dpi): the middle of each button inside its window's client area.
readonly DRIVER_OFFER_WIDTH=371 DRIVER_YESNO_WIDTH=275
readonly DRIVER_OFFER_JA="296 148" DRIVER_YESNO_JA="192 116"
readonly DRIVER_NEWBOX_NINE="80 100" DRIVER_NEWBOX_OK="144 100"

driver_log() { echo "[launcher] $*" >&2; }

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
  [[ $(id -u) -eq 0 ]] || ns=(-r "${ns[@]}")
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
  DRIVER_EXIT_STATUS=timeout
  if wait_until 10 driver_ended; then
    DRIVER_EXIT_STATUS=0
    wait "$DRIVER_LAUNCHER_PID" || DRIVER_EXIT_STATUS=$?
    DRIVER_LAUNCHER_PID=""
  fi
}
driver_ended() { ! kill -0 "$DRIVER_LAUNCHER_PID" 2>/dev/null; }
driver_stop() {  # at exit: a launcher still running
  [[ -z ${DRIVER_LAUNCHER_PID:-} ]] || kill "$DRIVER_LAUNCHER_PID" 2>/dev/null || true
}
at_exit driver_stop

# Mounts the disc image $1 read-only on the folder $2: by the kernel (loop
# device, iso9660) where it can, else with fuseiso. Sets DRIVER_MOUNT_KIND to
# "loop" or "fuseiso"; fails when neither works.
driver_mount_image() {
  local iso=$1 dir=$2 sudo=()
  [[ $(id -u) -eq 0 ]] || sudo=(sudo -n)
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
  [[ $(id -u) -eq 0 ]] || sudo=(sudo -n)
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
# $1 and, if $2 is given, that is $2 pixels wide; prints its id. $3: the
# limit in seconds (15).
driver_wait_window() {
  wait_until "${3:-15}" driver_find_window "$1" "${2:-}" ||
    { driver_log "no window \"$1\"${2:+ $2 px wide} within ${3:-15} s"; return 1; }
}
driver_find_window() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
    [[ -z $2 || $(driver_geometry "$id" | cut -d' ' -f3) == "$2" ]] && { echo "$id"; return 0; }
  done
  return 1
}
driver_wait_gone() {  # ID [SECONDS]
  wait_until "${2:-15}" driver_gone "$1" || { driver_log "window $1 still shown after ${2:-15} s"; return 1; }
}
driver_gone() { ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

# Saves the screen as $DRIVER_SCREENS/$1.png once the window $2 has had time
# to paint, and notes the window's place in geometry.txt for the checks: by
# DRIVER_PLACE (the client area, driver_geometry, unless the caller measures
# frames). DRIVER_PICTURES=0: no picture (a rootless XWayland has none).
driver_shot() {
  sleep 0.7
  [[ ${DRIVER_PICTURES:-1} == 0 ]] || import -window root "$DRIVER_SCREENS/$1.png"
  echo "$1 $("${DRIVER_PLACE:-driver_geometry}" "$2")" >>"$DRIVER_SCREENS/geometry.txt"
}

# Keys go to the focus window; with no window manager focus is set directly.
driver_key() {  # ID KEY...
  xdotool windowfocus --sync "$1"
  xdotool key --clearmodifiers "${@:2}"
}
driver_click() {  # ID X Y, in the window
  xdotool mousemove --window "$1" "$2" "$3" click 1
}
# A click within the double-click time (500 ms here) after a window was
# shown clicks nothing: after a screenshot it is past.
driver_click_settled() {
  [[ -n ${DRIVER_SCREENS:-} ]] || sleep 0.7
  driver_click "$@"
}
# "&Ende" of the closing window sits 30 pixels from the right and bottom edges.
driver_click_ende() {
  local w h
  read -r _ _ w h < <(driver_geometry "$1")
  driver_click_settled "$1" $((w - 30 - 41)) $((h - 30 - 13))
}

# The accept path, once: each window waited for in turn, handed to the
# caller's hook, answered, and waited out.
#   driver_walk_accept [FIRST_STEP]
# Steps: offer acrobat-setup waiting manual-notice game-question game-setup
# sound-notice closing ("waiting": the welcome window during the 20 s wait;
# the setups are the stubs, which may be missing: then the step is left out,
# said, not failed). For each step, from the caller's associative arrays:
#   WALK_WIDTH[STEP]   the window's width, where a title is shared
#   WALK_LIMIT[STEP]   seconds to wait for it
#   WALK_ANSWER[STEP]  "FUNCTION ARGS...", called as FUNCTION ID ARGS...; ""
#                      for none (a stub closes itself, or the hook answers)
# and WALK_HOOK (a function called as HOOK STEP ID before the answer;
# default: a screenshot where DRIVER_SCREENS is set). Status 1, and the
# step in WALK_STOPPED, when a window did not come or did not go.
declare -A WALK_WIDTH=() WALK_LIMIT=() WALK_ANSWER=()
readonly WALK_STEPS="offer acrobat-setup waiting manual-notice game-question game-setup sound-notice closing"
declare -A WALK_TITLE=([offer]=$DRIVER_OFFER_TITLE [acrobat-setup]="Acrobat Reader Setup" [waiting]=$DRIVER_WELCOME_TITLE
  [manual-notice]=$DRIVER_OFFER_TITLE [game-question]=$DRIVER_NEWBOX_TITLE [game-setup]="Mirelund Setup"
  [sound-notice]=$DRIVER_NEWBOX_TITLE [closing]=$DRIVER_CLOSING_TITLE)
declare -A WALK_NUMBER=([offer]=01-welcome-offer [acrobat-setup]=02-acrobat-setup [waiting]=03-waiting
  [manual-notice]=04-manual-notice [game-question]=05-game-question [game-setup]=06-game-setup
  [sound-notice]=07-sound-notice [closing]=08-closing)
# Defaults: keys and clicks mixed, and the limits a native launcher needs.
declare -A WALK_DEFAULT_WIDTH=([offer]=$DRIVER_OFFER_WIDTH [manual-notice]=$DRIVER_YESNO_WIDTH)
declare -A WALK_DEFAULT_LIMIT=([offer]=20 [acrobat-setup]=5 [waiting]=5 [manual-notice]=30 [game-setup]=5)
declare -A WALK_DEFAULT_ANSWER=([offer]="driver_click_settled $DRIVER_OFFER_JA" [acrobat-setup]="" [waiting]=""
  [manual-notice]="driver_key alt+o" [game-question]="driver_key alt+j" [game-setup]="driver_click 400 300"
  [sound-notice]="driver_click_settled $DRIVER_NEWBOX_OK" [closing]="driver_click_ende")
driver_walk_shot() { [[ -z ${DRIVER_SCREENS:-} ]] || driver_shot "${WALK_NUMBER[$1]}" "$2"; }

driver_walk_accept() {
  local step started="" id answer
  WALK_STOPPED=""
  for step in $WALK_STEPS; do
    [[ -n $started || $step == "${1:-offer}" ]] || continue
    started=1
    if ! id=$(driver_wait_window "${WALK_TITLE[$step]}" "${WALK_WIDTH[$step]-${WALK_DEFAULT_WIDTH[$step]:-}}" \
      "${WALK_LIMIT[$step]:-${WALK_DEFAULT_LIMIT[$step]:-15}}"); then
      [[ $step == *-setup ]] && continue
      WALK_STOPPED=$step
      return 1
    fi
    [[ $step == waiting ]] && driver_log "waiting the 20 seconds after the Acrobat Reader setup"
    "${WALK_HOOK:-driver_walk_shot}" "$step" "$id"
    answer=${WALK_ANSWER[$step]-${WALK_DEFAULT_ANSWER[$step]}}
    # shellcheck disable=SC2086
    [[ -z $answer ]] || ${answer%% *} "$id" ${answer#"${answer%% *}"}
    case $step in
      waiting | closing) ;;
      *-setup) driver_wait_gone "$id" 20 || true ;;
      *) driver_wait_gone "$id" || { WALK_STOPPED=$step; return 1; } ;;
    esac
  done
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
  id=$(driver_wait_window "$DRIVER_CLOSING_TITLE") || return 1
  driver_shot 06-closing "$id"
  driver_key "$id" alt+e
}
