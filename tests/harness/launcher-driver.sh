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
# The windows' figures come from the program itself (tests/harness/layouts), so that
# a changed window definition moves them with it.
#   driver_layouts COMMAND...: the layouts program (DRIVER_LAYOUTS or the build's
#     build/tests/harness/layouts by default; e.g. under wine) on an 800x600 screen without
#     frames: sets DRIVER_LAYOUT (its lines), the figures and DRIVER_LAYOUTS_RUN
#   driver_rect STEP NAME: "X Y W H" of a control (or "client") of a step's window
#   driver_button STEP CAPTION: the middle of a button, "X Y", in its window
#   driver_from_offer STEP: where the step's window stands from the offer, "DX DY"
driver_layouts() {
  DRIVER_LAYOUTS_RUN=("$@")
  DRIVER_LAYOUT=$("$@" 800x600 | tr -d '\r') || die "no layouts from $*"
  DRIVER_OFFER_WIDTH=$(driver_rect offer client | cut -d' ' -f3)
  DRIVER_YESNO_WIDTH=$(driver_rect confirm client | cut -d' ' -f3)
  DRIVER_OFFER_JA=$(driver_button offer Ja)
}
driver_rect() { awk -v s="$1" -v n="$2" '$1 == s && $2 == n {print $3, $4, $5, $6; f = 1} END {exit !f}' <<<"$DRIVER_LAYOUT"; }
driver_button() {
  awk -v s="$1" -v c="$2" '$1 == s && $9 == c {print $3 + int($5 / 2), $4 + int($6 / 2); f = 1} END {exit !f}' \
    <<<"$DRIVER_LAYOUT"
}
# driver_frame_widths ID: wine draws the dialogs' frames itself; the width of
# the offer ID's, added to each dialog's client width in WALK_WIDTH, tells
# the later dialogs apart.
driver_frame_widths() {
  local frame notice box
  frame=$(($(driver_geometry "$1" | cut -d' ' -f3) - DRIVER_OFFER_WIDTH))
  notice=$((DRIVER_YESNO_WIDTH + frame)) box=$(($(driver_rect sound-notice client | cut -d' ' -f3) + frame))
  WALK_WIDTH+=([confirm]=$notice [manual-notice]=$notice [game-question]=$box [sound-notice]=$box)
}
driver_from_offer() {
  local ox oy x y
  read -r ox oy _ < <(driver_rect offer client)
  read -r x y _ < <(driver_rect "$1" client)
  echo "$((x - ox)) $((y - oy))"
}
DRIVER_LAYOUTS=${DRIVER_LAYOUTS:-$(dirname "${BASH_SOURCE[0]}")/../../build/tests/harness/layouts}
[[ ! -x $DRIVER_LAYOUTS ]] || driver_layouts "$DRIVER_LAYOUTS"
# Before a walk: which layouts program its figures come from, or the end of
# the caller where there is none (a tree where the tests were never built).
driver_need_layouts() {
  [[ -n ${DRIVER_LAYOUT:-} ]] || die "no layouts program at $DRIVER_LAYOUTS: build the tests, or set DRIVER_LAYOUTS"
  [[ -n ${DRIVER_LAYOUTS_TOLD:-} ]] || driver_log "window layouts from ${DRIVER_LAYOUTS_RUN[*]}"
  DRIVER_LAYOUTS_TOLD=1
}

driver_log() { echo "[launcher] $*" >&2; }
driver_screens() { export DRIVER_SCREENS=$1; rm -rf "$1"; mkdir -p "$1"; }  # where driver_shot saves, emptied
# Runs COMMAND... in the background, its output into LOG: sets DRIVER_LAUNCHER_PID.
driver_start() { "${@:2}" </dev/null >"$1" 2>&1 & DRIVER_LAUNCHER_PID=$!; }

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
    driver_wait_launcher || DRIVER_EXIT_STATUS=$?
  fi
}
driver_ended() { ! kill -0 "$DRIVER_LAUNCHER_PID" 2>/dev/null; }
# The launcher's end, however long it takes; its status.
driver_wait_launcher() { local s=0; wait "$DRIVER_LAUNCHER_PID" || s=$?; DRIVER_LAUNCHER_PID=""; return $s; }
driver_stop() {  # a launcher still running ended (also at exit)
  [[ -z ${DRIVER_LAUNCHER_PID:-} ]] ||
    { kill "$DRIVER_LAUNCHER_PID" && wait_until 5 driver_ended && wait "$DRIVER_LAUNCHER_PID"; } 2>/dev/null || true
  DRIVER_LAUNCHER_PID=""
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

# "X Y W H" of a window; fails where it is gone. driver_place sets them.
driver_geometry() {
  local WINDOW X Y WIDTH HEIGHT SCREEN shell
  shell=$(xdotool getwindowgeometry --shell "$1" 2>/dev/null) && eval "$shell" && echo "$X $Y $WIDTH $HEIGHT"
}
driver_place() { read -r X Y WIDTH HEIGHT < <(driver_geometry "$1"); }

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
# "&Ende" of the closing window, where the program puts it on a screen of the window's size.
driver_click_ende() {
  local w h
  read -r _ _ w h < <(driver_geometry "$1")
  # shellcheck disable=SC2046
  driver_click_settled "$1" $(DRIVER_LAYOUT=$("${DRIVER_LAYOUTS_RUN[@]}" "${w}x$h" | tr -d '\r') driver_button closing Ende)
}

# The two paths, each window waited for in turn, handed to the caller's
# hook, answered, and waited out:
#   driver_walk_accept [FIRST_STEP]: offer acrobat-setup waiting manual-notice
#     game-question game-setup sound-notice closing ("waiting": the welcome
#     window during the 20 s wait; the setups are the stubs, which may be
#     missing: then the step is left out with a line saying so, not failed)
#   driver_walk_decline: offer confirm manual-notice game-question
#     sound-notice closing (the refusal confirmed, the game declined)
# For each step, from the caller's associative arrays:
#   WALK_WIDTH[STEP]   the window's width, where a title is shared ("": any)
#   WALK_LIMIT[STEP]   seconds to wait for it
#   WALK_ANSWER[STEP]  "FUNCTION ARGS...", called as FUNCTION ID ARGS...; ""
#                      for none (a stub closes itself, or the hook answers)
# and WALK_HOOK (a function called as HOOK STEP ID before the answer, with
# WALK_SHOT the step's screenshot name, e.g. 01-welcome-offer; default: that
# screenshot where DRIVER_SCREENS is set). Status 1, and the step in
# WALK_STOPPED, when a window did not come or did not go.
declare -A WALK_WIDTH=() WALK_LIMIT=() WALK_ANSWER=()
declare -A WALK_TITLE=([offer]=$DRIVER_OFFER_TITLE [confirm]=$DRIVER_OFFER_TITLE [acrobat-setup]="Acrobat Reader Setup"
  [waiting]=$DRIVER_WELCOME_TITLE [manual-notice]=$DRIVER_OFFER_TITLE [game-question]=$DRIVER_NEWBOX_TITLE
  [game-setup]="Mirelund Setup" [sound-notice]=$DRIVER_NEWBOX_TITLE [closing]=$DRIVER_CLOSING_TITLE)
driver_walk_shot() { [[ -z ${DRIVER_SCREENS:-} ]] || driver_shot "$WALK_SHOT" "$2"; }

# Defaults: keys and clicks mixed, and the limits a native launcher needs.
driver_walk_accept() {
  driver_need_layouts
  local -A width=([offer]=$DRIVER_OFFER_WIDTH [manual-notice]=$DRIVER_YESNO_WIDTH)
  local -A limit=([offer]=20 [acrobat-setup]=5 [waiting]=5 [manual-notice]=30 [game-setup]=5)
  local -A answer=([offer]="driver_click_settled $DRIVER_OFFER_JA" [manual-notice]="driver_key alt+o"
    [game-question]="driver_key alt+j" [game-setup]="driver_click 400 300"
    [sound-notice]="driver_click_settled $(driver_button sound-notice OK)" [closing]=driver_click_ende)
  driver_walk "offer acrobat-setup waiting manual-notice game-question game-setup sound-notice closing" \
    "waiting closing" "${1:-offer}"
}
driver_walk_decline() {
  driver_need_layouts
  local -A width=([offer]=$DRIVER_OFFER_WIDTH [confirm]=$DRIVER_YESNO_WIDTH [manual-notice]=$DRIVER_YESNO_WIDTH)
  local -A limit=([offer]=20)
  local -A answer=([offer]="driver_key alt+n" [confirm]="driver_click_settled $(driver_button confirm Ja)"
    [manual-notice]="driver_key Return" [game-question]="driver_click_settled $(driver_button game-question Nine)"
    [sound-notice]="driver_key alt+o" [closing]="driver_key alt+e")
  driver_walk "offer confirm manual-notice game-question sound-notice closing" "offer closing" offer
}
driver_walk() {  # STEPS STEPS_THAT_STAY FIRST_STEP, with the caller's width, limit and answer
  local step n=0 started="" id reply
  WALK_STOPPED=""
  [[ -n ${DRIVER_LAYOUT:-} ]] || die "no layouts program at $DRIVER_LAYOUTS: build the tests, or set DRIVER_LAYOUTS"
  for step in $1; do
    n=$((n + 1))
    [[ -n $started || $step == "$3" ]] || continue
    started=1
    WALK_SHOT=$(printf '%02d-%s' $n "${step/#offer/welcome-offer}")
    if ! id=$(driver_wait_window "${WALK_TITLE[$step]}" "${WALK_WIDTH[$step]-${width[$step]:-}}" \
      "${WALK_LIMIT[$step]:-${limit[$step]:-15}}"); then
      [[ $step == *-setup ]] && { driver_log "$step left out: its stub is missing"; continue; }
      WALK_STOPPED=$step
      return 1
    fi
    [[ $step == waiting ]] && driver_log "waiting the 20 seconds after the Acrobat Reader setup"
    "${WALK_HOOK:-driver_walk_shot}" "$step" "$id"
    reply=${WALK_ANSWER[$step]-${answer[$step]:-}}
    # shellcheck disable=SC2086
    [[ -z $reply ]] || ${reply%% *} "$id" ${reply#"${reply%% *}"}
    if [[ " $2 " == *" $step "* ]]; then :
    elif [[ $step == *-setup ]]; then driver_wait_gone "$id" 20 || true
    else driver_wait_gone "$id" || { WALK_STOPPED=$step; return 1; }
    fi
  done
}

# The process's exit within 10 s, checked: WHAT [STATUS, 0].
driver_expect_exit() {
  driver_wait_exit
  expect_eq "$1" "${2:-0}" "$DRIVER_EXIT_STATUS"
}
