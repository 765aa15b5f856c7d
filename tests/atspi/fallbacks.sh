#!/usr/bin/env bash
# The launcher starts as it does without accessibility, and in normal time,
# where none can be had: its module missing, a library the module needs
# missing, no session bus, NO_AT_BRIDGE=1, and an accessibility bus that is
# owned but never answers (where it still takes keys once the lookup has
# given up). Each case counts from the launcher's start to the offer on the
# screen.
#   fallbacks.sh DEMO_CD_DIR
cd_dir=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/common.sh"
limit_ms=${START_LIMIT_MS:-4000}  # the freeze this guards against was 25 s
offer="Acrobat Reader Installation (empfohlen)"

work=$(mktemp -d)
at_exit 'rm -rf "$work"'
start_xvfb 800x600

# A CD whose module is missing, and one whose module needs an ATK that is not there.
cp -a "$cd_dir" "$work/without"
rm "$work/without/libmirelund-atk.so"
cp -a "$cd_dir" "$work/no-atk"
perl -0777 -pi -e 's/libatk-1\.0\.so\.0/libatk-0.9.so.9/g == 1 or die "libatk-1.0.so.0 not named once\n"' \
  "$work/no-atk/libmirelund-atk.so"

# Runs one case: its name, then the program and environment; the offer must
# be on the screen within the limit.
run_case() {
  local name=$1 started
  shift
  started=$(date +%s%N)
  driver_start "$work/$name.log" "$@"
  OFFER_ID=$(WAIT_STEP=0.02 wait_until "$((limit_ms / 1000)).$(printf %03d $((limit_ms % 1000)))" offer_up "$name") ||
    die "$name: no offer after $limit_ms ms: $(cat "$work/$name.log")"
  pass "$name: the offer after $((($(date +%s%N) - started) / 1000000)) ms"
}
offer_up() {
  ! driver_ended || die "$1: the launcher ended: $(cat "$work/$1.log")"
  visible_window "$(regex_quote "$offer")"
}

# Alt+N on the offer brings up its confirmation, a window of another width.
takes_keys() {
  xdotool windowfocus --sync "$OFFER_ID" key --clearmodifiers alt+n
  WAIT_STEP=0.02 check "$1: Alt+N on the offer brings its confirmation" wait_until 2 confirmation_up
}
confirmation_up() {
  local id
  for id in $(xdotool search --onlyvisible --name "^$(regex_quote "$offer")\$" 2>/dev/null); do
    [[ $id == "$OFFER_ID" && $(window_size "$id" | cut -d' ' -f1) == "$(window_size "$OFFER_ID" | cut -d' ' -f1)" ]] ||
      return 0
  done
  return 1
}

# No session bus at all: nothing to look for, and no bus of GLib's own started.
run_case no-session-bus env -u DBUS_SESSION_BUS_ADDRESS -u AT_SPI_BUS_ADDRESS XDG_RUNTIME_DIR="$work" \
  "$cd_dir/start"
driver_stop
no_autolaunch() { ! pgrep -f "dbus-launch.*autolaunch" >/dev/null; }  # in this shell: pgrep passes over itself
check "no-session-bus: no session bus started for it" no_autolaunch

# The rest in a session of their own, with a working accessibility bus.
export -f run_case offer_up takes_keys confirmation_up
export work cd_dir limit_ms offer here
dbus-run-session -- bash -c '
  source "$here/../display/common.sh"
  run_case without-module "$work/without/start"; driver_stop
  run_case module-without-atk "$work/no-atk/start"; driver_stop
  run_case no-at-bridge env NO_AT_BRIDGE=1 "$cd_dir/start"; driver_stop
  # The accessibility bus owned by a service that never answers.
  /usr/bin/python3 "$here/silent_bus.py" >"$work/silent.log" 2>&1 &
  at_exit "kill $!"
  wait_until 10 grep -q ready "$work/silent.log" || die "the silent bus did not start: $(cat "$work/silent.log")"
  run_case silent-a11y-bus "$cd_dir/start"
  # Keys still reach it after its lookup has given up (1.5 s after its start).
  sleep 2
  takes_keys silent-a11y-bus
' 2> >(grep -v "^dbus-daemon\[" >&2)
