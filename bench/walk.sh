#!/usr/bin/env bash
# One walk of the launcher's accept path for bench/run.py, on the display in
# DISPLAY: the launcher of the CD folder $1, or with "--wine FOLDER
# COMMAND..." START.EXE under wine. Each window and the offer's answer are
# told on stdout ("walk STEP ID PID", "walk accepted PID"), and the walk goes
# on once run.py answers a line on stdin: its samples fall where the walk is.
# The windows' figures come from DRIVER_LAYOUTS, the layouts program run.py
# built. Ends with "ended STATUS".
# shellcheck source=tests/harness/launcher-driver.sh
source "$(dirname "$0")/../tests/harness/launcher-driver.sh"
tell() { echo "walk $* $DRIVER_LAUNCHER_PID"; read -r _; }
WALK_HOOK=tell
wait_seconds=$(awk '$1 == "wait-seconds" && NF == 2 { print $2 }' "$(dirname "$0")/../tests/sequence/walks.txt")
[[ $wait_seconds =~ ^[0-9]+$ ]] || die "no line \"wait-seconds N\" in tests/sequence/walks.txt"
# The manual notice comes once the setup's wait is over; 20 s more for a machine the benchmark loads.
WALK_LIMIT=([offer]=30 [manual-notice]=$((wait_seconds + 20)))
driver_need_layouts  # before a launcher is started
if [[ $1 == --wine ]]; then
  (cd "$2" && exec "${@:3}") >/dev/null 2>&1 &
  DRIVER_LAUNCHER_PID=$!
  accept() { driver_frame_widths "$1"; sleep 0.5; driver_key "$1" Return; tell accepted; }
  WALK_WIDTH=([offer]="")
  WALK_ANSWER=([offer]=accept [game-setup]="" [manual-notice]="driver_key alt+o" [game-question]="driver_key alt+j"
    [sound-notice]="driver_key Return" [closing]="driver_key Return")
else
  driver_launch "$1" >&2
  is_launcher() { [[ $(cat "/proc/$DRIVER_LAUNCHER_PID/comm" 2>/dev/null) == start ]]; }
  wait_until 2 is_launcher || die "the launcher did not start"  # unshare and sh exec into it
  # shellcheck disable=SC2086
  accept() { driver_click_settled "$1" $DRIVER_OFFER_JA; tell accepted; }
  WALK_ANSWER=([offer]=accept)
fi
driver_walk_accept offer || die "the walk stopped at the $WALK_STOPPED"
driver_wait_exit
echo "ended $DRIVER_EXIT_STATUS"
