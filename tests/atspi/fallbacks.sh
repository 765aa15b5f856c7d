#!/usr/bin/env bash
# The launcher starts as it does without accessibility, and in normal time,
# where none can be had: its module missing, a library the module needs
# missing, no session bus, NO_AT_BRIDGE=1, and an accessibility bus that is
# owned but never answers (where it still takes keys once the lookup has
# given up). Each case counts from the launcher's start to the offer on the
# screen.
#   fallbacks.sh DEMO_CD_DIR
set -euo pipefail
cd_dir=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/common.sh"
limit_ms=${START_LIMIT_MS:-4000}  # the freeze this guards against was 25 s
offer="Acrobat Reader Installation (empfohlen)"

work=$(mktemp -d)
LAUNCHER_PID=""
stop_case() {
  if [[ -n $LAUNCHER_PID ]]; then
    kill "$LAUNCHER_PID" 2>/dev/null || true
    wait "$LAUNCHER_PID" 2>/dev/null || true
  fi
  LAUNCHER_PID=""
}
trap 'stop_case; stop_all; rm -rf "$work"' EXIT
start_xvfb 800x600

# A CD whose module is missing, and one whose module needs an ATK that is not there.
cp -a "$cd_dir" "$work/without"
rm "$work/without/libmirelund-atk.so"
cp -a "$cd_dir" "$work/no-atk"
/usr/bin/python3 - "$work/no-atk/libmirelund-atk.so" <<'PY'
import sys
path = sys.argv[1]
data = open(path, "rb").read()
assert data.count(b"libatk-1.0.so.0") == 1
open(path, "wb").write(data.replace(b"libatk-1.0.so.0", b"libatk-0.9.so.9"))
PY

# Runs one case: its name, then the program and environment; the offer must
# be on the screen within the limit.
run_case() {
  local name=$1 started now id=""
  shift
  started=$(date +%s%N)
  "$@" >"$work/$name.log" 2>&1 &
  LAUNCHER_PID=$!
  while [[ -z $id ]]; do
    now=$(date +%s%N)
    (((now - started) / 1000000 <= limit_ms)) || fail "$name: no offer after $limit_ms ms: $(cat "$work/$name.log")"
    kill -0 "$LAUNCHER_PID" 2>/dev/null || fail "$name: the launcher ended: $(cat "$work/$name.log")"
    id=$(xdotool search --onlyvisible --name "^$(regex_quote "$offer")\$" 2>/dev/null | head -1 || true)
    [[ -n $id ]] || sleep 0.02
  done
  echo "$name: the offer after $(((now - started) / 1000000)) ms"
  OFFER_ID=$id
}

# Alt+N on the offer brings up its confirmation, a window of another width.
takes_keys() {
  local name=$1 i width
  xdotool windowfocus --sync "$OFFER_ID" key --clearmodifiers alt+n
  for i in $(seq 1 100); do
    for id in $(xdotool search --onlyvisible --name "^$(regex_quote "$offer")\$" 2>/dev/null); do
      width=$(window_size "$id" | cut -d' ' -f1)
      [[ $id != "$OFFER_ID" || $width != "$(window_size "$OFFER_ID" | cut -d' ' -f1)" ]] && return 0
    done
    sleep 0.02
  done
  fail "$name: Alt+N on the offer brought no confirmation"
}

# No session bus at all: nothing to look for, and no bus of GLib's own started.
run_case no-session-bus env -u DBUS_SESSION_BUS_ADDRESS -u AT_SPI_BUS_ADDRESS XDG_RUNTIME_DIR="$work" \
  "$cd_dir/start"
stop_case
if pgrep -f "dbus-launch.*autolaunch" >/dev/null; then fail "no-session-bus: a session bus was started for it"; fi

# The rest in a session of their own, with a working accessibility bus.
export -f run_case takes_keys stop_case fail regex_quote window_size
export work cd_dir limit_ms offer here
dbus-run-session -- bash -euo pipefail -c '
  LAUNCHER_PID=""
  run_case without-module "$work/without/start"; stop_case
  run_case module-without-atk "$work/no-atk/start"; stop_case
  run_case no-at-bridge env NO_AT_BRIDGE=1 "$cd_dir/start"; stop_case
  # The accessibility bus owned by a service that never answers.
  /usr/bin/python3 "$here/silent_bus.py" >"$work/silent.log" 2>&1 &
  silent=$!
  for i in $(seq 1 200); do grep -q ready "$work/silent.log" && break; sleep 0.05; done
  grep -q ready "$work/silent.log" || fail "the silent bus did not start: $(cat "$work/silent.log")"
  run_case silent-a11y-bus "$cd_dir/start"
  # Keys still reach it after its lookup has given up (1.5 s after its start).
  sleep 2
  takes_keys silent-a11y-bus
  stop_case
  kill "$silent"
' 2> >(grep -v "^dbus-daemon\[" >&2)
echo "all cases started in normal time"
