# Shell functions that mount the disc image (or make the demo CD folder a
# volume root), run the launcher from it and walk through its windows with
# xdotool, on an X display without a window manager or under one, natively
# or under wine. Sourced by run-launcher.sh, the benchmarks and the
# whole-sequence tests; needs bash.
# shellcheck source=harness.sh
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

# The walks, their windows and screenshots, and the wait after a setup
# start: from the tests' table (tests/sequence/walks.txt; WALK_TABLE).
#   walk_rows [WALK]: its steps (all walks' without), tab-separated:
#     WALK STEP FORM THEN BUTTONS ANSWER SHOT TITLE
#   walk_steps WALK: the step names in order, on one line
#   walk_field WALK STEP form|then|buttons|answer|shot|title
#   walk_title_re WALK STEP: its title as a whole-title regular expression
for WALK_TABLE in "${WALK_TABLE:-}" "$(dirname "${BASH_SOURCE[0]}")"/{../tests,..}/sequence/walks.txt; do
  [[ ! -f $WALK_TABLE ]] || break
done
[[ -f $WALK_TABLE ]] || die "no table of the walks (tests/sequence/walks.txt): set WALK_TABLE"
walk_rows() {
  awk -v w="${1:-}" 'BEGIN {OFS = "\t"} $1 !~ /^#/ && $1 != "label" && NF >= 8 && (w == "" || $1 == w) {
    t = $0; sub(/^[^"]*"/, "", t); sub(/"[ \t\r]*$/, "", t); print $1, $2, $3, $4, $5, $6, $7, t }' "$WALK_TABLE"
}
walk_steps() { walk_rows "$1" | cut -f2 | paste -sd' '; }
walk_field() {
  local -A col=([form]=3 [then]=4 [buttons]=5 [answer]=6 [shot]=7 [title]=8)
  walk_rows "$1" | awk -F'\t' -v s="$2" -v c="${col[$3]}" '$2 == s {print $c; f = 1} END {exit !f}'
}
walk_re() { sed 's/[][\\.*^$()+?{}|]/\\&/g' <<<"$1"; }
walk_title_re() { walk_re "$(walk_field "$1" "$2" title)"; }
WALK_WAIT_SECONDS=$(awk '$1 == "wait-seconds" {print $2}' "$WALK_TABLE")
[[ $WALK_WAIT_SECONDS =~ ^[0-9]+$ ]] || die "$WALK_TABLE: no line \"wait-seconds N\""
DRIVER_OFFER_TITLE=$(walk_title_re decline offer)          # offer, confirmation, manual notice
DRIVER_NEWBOX_TITLE=$(walk_title_re accept game-question)  # game question, sound notice
DRIVER_WELCOME_TITLE=$(walk_title_re accept waiting)
DRIVER_CLOSING_TITLE=$(walk_title_re accept closing)
readonly DRIVER_OFFER_TITLE DRIVER_NEWBOX_TITLE DRIVER_WELCOME_TITLE DRIVER_CLOSING_TITLE
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
  local frame step w
  frame=$(($(driver_geometry "$1" | cut -d' ' -f3) - DRIVER_OFFER_WIDTH))
  while read -r step w; do WALK_WIDTH[$step]=$((w + frame)); done < <(awk '$2 == "client" && $1 != "offer" &&
    !($3 == 0 && $4 == 0 && $5 == 800 && $6 == 600) {print $1, $5}' <<<"$DRIVER_LAYOUT")
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
# The button CAPTION of the step STEP's window ID, where the program puts it;
# in a window that fills the screen, on a screen of the window's size.
driver_click_button() {  # ID STEP CAPTION
  local w h at
  at=$(driver_button "$2" "$3") || die "no button $3 in the layout of the step $2"
  if [[ $(driver_rect "$2" client) == "0 0 800 600" ]]; then
    read -r _ _ w h < <(driver_geometry "$1")
    at=$(DRIVER_LAYOUT=$("${DRIVER_LAYOUTS_RUN[@]}" "${w}x$h" | tr -d '\r') driver_button "$2" "$3")
  fi
  # shellcheck disable=SC2086
  driver_click_settled "$1" $at
}

# A walk of the table, each window waited for in turn, handed to the
# caller's hook, answered, and waited out:
#   driver_walk WALK [FIRST_STEP]: the table's walk, from FIRST_STEP on
#   driver_walk_accept [FIRST_STEP], driver_walk_decline: its two main walks
# ("waiting": the welcome window during the wait after the Acrobat Reader
# setup; the setups are the stubs, which may be missing: then the step is
# left out with a line saying so, not failed). For each step, from the
# caller's associative arrays, else the walk's own (local width, limit and
# answer), else the table:
#   WALK_WIDTH[STEP]   the window's width, where a title is shared ("": any);
#                      by default the layout's, where the walk has another
#                      window of that title and another width
#   WALK_LIMIT[STEP]   seconds to wait for it (15)
#   WALK_ANSWER[STEP]  "FUNCTION ARGS...", called as FUNCTION ID ARGS...; ""
#                      for none (a stub closes itself, or the hook answers);
#                      by default the table's answer (driver_answer)
#   WALK_KEYS          set: a table's answer that clicks a button presses its
#                      access key instead (where the pointer cannot reach)
# and WALK_HOOK (a function called as HOOK STEP ID before the answer, with
# WALK_SHOT the step's screenshot name, e.g. 01-welcome-offer; default: that
# screenshot where DRIVER_SCREENS is set). Status 1, and the step in
# WALK_STOPPED, when a window did not come or did not go.
declare -A WALK_WIDTH=() WALK_LIMIT=() WALK_ANSWER=() WALK_TITLE=()
while IFS=$'\t' read -r _ step _ _ _ _ _ title; do WALK_TITLE[$step]=$(walk_re "$title"); done < <(walk_rows)
unset step title
driver_walk_shot() { [[ -z ${DRIVER_SCREENS:-} ]] || driver_shot "$WALK_SHOT" "$2"; }

# Defaults: the limits a native launcher needs.
driver_walk_accept() {
  local -A width=() answer=() limit=([offer]=20 [acrobat-setup]=5 [waiting]=5 [manual-notice]=$((WALK_WAIT_SECONDS + 10))
    [game-setup]=5)
  driver_walk accept "${1:-offer}"
}
driver_walk_decline() {
  local -A width=() answer=() limit=([offer]=20)
  driver_walk decline
}
# The table's answer ANSWER to the window ID of the step STEP (walks.txt).
driver_answer() {  # ID STEP ANSWER
  local id=$1 how=${3%%:*} what=${3#*:} key w h
  [[ -z ${WALK_KEYS:-} || $how != click || $what == window ]] || how=key
  case $how in
    click)
      if [[ $what == window ]]; then
        read -r _ _ w h < <(driver_geometry "$id")
        driver_click "$id" $((w / 2)) $((h / 2))
      else
        driver_click_button "$id" "$2" "${what/&/}"
      fi ;;
    key)
      for key in ${what//,/ }; do
        [[ $key != \&* ]] || key=alt+${key:1:1} key=${key,,}
        driver_key "$id" "$key"
      done ;;
    -) ;;
    *) die "walks.txt: no answer \"$3\"" ;;
  esac
}
driver_walk() {  # WALK [FIRST_STEP], with the caller's width, limit and answer (declared, if empty)
  local first=${2:-} step other form after ans shot title started="" id reply steps=()
  local -A form_of=() then_of=() answer_of=() shot_of=() title_of=() laid=() walk_width=()
  WALK_STOPPED=""
  driver_need_layouts
  while IFS=$'\t' read -r _ step form after _ ans shot title; do
    steps+=("$step") form_of[$step]=$form then_of[$step]=$after answer_of[$step]=$ans shot_of[$step]=$shot
    title_of[$step]=$title
    [[ $form == - ]] || laid[$step]=$(driver_rect "$step" client | cut -d' ' -f3) ||
      die "no layout of the step $step: does the layouts program walk it?"
  done < <(walk_rows "$1")
  ((${#steps[@]})) || die "walks.txt: no walk \"$1\""
  # A width only where it tells apart the walk's windows of one title.
  for step in "${!laid[@]}"; do
    for other in "${!laid[@]}"; do
      [[ ${title_of[$other]} != "${title_of[$step]}" || ${laid[$other]} == "${laid[$step]}" ]] ||
        walk_width[$step]=${laid[$step]}
    done
  done
  for step in "${steps[@]}"; do
    [[ -n $started || -z $first || $step == "$first" ]] || continue
    started=1 form=${form_of[$step]} WALK_SHOT=${shot_of[$step]}
    if ! id=$(driver_wait_window "${WALK_TITLE[$step]}" "${WALK_WIDTH[$step]-${width[$step]:-${walk_width[$step]:-}}}" \
      "${WALK_LIMIT[$step]:-${limit[$step]:-15}}"); then
      [[ $form == - ]] && { driver_log "$step left out: its stub is missing"; continue; }
      WALK_STOPPED=$step
      return 1
    fi
    [[ $form != frmAcrobat ]] || driver_log "waiting the $WALK_WAIT_SECONDS seconds after the Acrobat Reader setup"
    "${WALK_HOOK:-driver_walk_shot}" "$step" "$id"
    if [[ -v WALK_ANSWER[$step] || -v answer[$step] ]]; then
      reply=${WALK_ANSWER[$step]-${answer[$step]}}
      # shellcheck disable=SC2086
      [[ -z $reply ]] || ${reply%% *} "$id" ${reply#"${reply%% *}"}
    else
      driver_answer "$id" "$step" "${answer_of[$step]}"
    fi
    if [[ ${then_of[$step]} == stays ]]; then :
    elif [[ $form == - ]]; then driver_wait_gone "$id" 20 || true
    else driver_wait_gone "$id" || { WALK_STOPPED=$step; return 1; }
    fi
  done
}

# The process's exit within 10 s, checked: WHAT [STATUS, 0].
driver_expect_exit() {
  driver_wait_exit
  expect_eq "$1" "${2:-0}" "$DRIVER_EXIT_STATUS"
}
