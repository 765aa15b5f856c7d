# What every shell test and tool of ours shares. Sourced; needs bash.
#   Strict: -e, -u, pipefail; a command that fails where nothing expects it
#     is reported as a failure with its line, never passed over.
#   Checks: each prints one PASS or FAIL line (on stderr); a script that made any ends
#     with "N passed, M failed" and fails where one did. fail counts and goes
#     on; die counts and stops.
#   at_exit COMMAND: run when the script ends, the last registered first.
#   wait_until SECONDS COMMAND...: until the command succeeds, at most that
#     long from now; its status is the command's last.
#   start_xvfb [WIDTHxHEIGHT]: an Xvfb of its own, 96 dpi, no window manager.
set -euo pipefail
[[ -n ${HARNESS_LOADED:-} ]] && return 0
HARNESS_LOADED=1
HARNESS_PASSED=0 HARNESS_FAILED=0
HARNESS_CLEANUPS=()

# On stderr, so that a check inside $(...) still shows.
pass() { HARNESS_PASSED=$((HARNESS_PASSED + 1)); echo "PASS: $*" >&2; }
fail() { HARNESS_FAILED=$((HARNESS_FAILED + 1)); echo "FAIL: $*" >&2; }
die() { fail "$@"; exit 1; }
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
expect_eq() {  # WHAT EXPECTED ACTUAL
  if [[ $2 == "$3" ]]; then pass "$1 ($3)"; else fail "$1: expected '$2', got '$3'"; fi
}
expect_ge() {  # WHAT MIN ACTUAL
  if (($3 >= $2)); then pass "$1 ($3 >= $2)"; else fail "$1: expected at least $2, got $3"; fi
}
expect_le() {  # WHAT MAX ACTUAL
  if (($3 <= $2)); then pass "$1 ($3 <= $2)"; else fail "$1: expected at most $2, got $3"; fi
}
# Whether the point "X,Y" lies within SLACK pixels of "WANT_X,WANT_Y".
near() {  # near X,Y WANT_X,WANT_Y SLACK
  local x=${1%,*} y=${1#*,} wx=${2%,*} wy=${2#*,}
  ((x >= wx - $3 && x <= wx + $3 && y >= wy - $3 && y <= wy + $3))
}

at_exit() { HARNESS_CLEANUPS+=("$*"); }
harness_exit() {
  local status=$? command=$BASH_COMMAND i
  set +e
  trap - ERR
  # -e ended it inside a function, where the ERR trap does not reach.
  ((status == 0 || status == 77 || HARNESS_FAILED > 0)) || fail "\"$command\" failed (status $status)"
  for ((i = ${#HARNESS_CLEANUPS[@]} - 1; i >= 0; i--)); do eval "${HARNESS_CLEANUPS[i]}" >/dev/null 2>&1; done
  if ((HARNESS_PASSED + HARNESS_FAILED > 0)); then
    echo
    echo "$HARNESS_PASSED passed, $HARNESS_FAILED failed"
  fi
  ((status == 0 && HARNESS_FAILED > 0)) && status=1
  exit "$status"
}
trap harness_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM  # a stopped test still cleans up
# Not inherited by functions and command substitutions (no -E): a failing
# command there is its caller's to judge.
trap 'fail "line $LINENO of ${BASH_SOURCE[0]##*/}: \"$BASH_COMMAND\" failed"' ERR

wait_until() {
  local limit=$1 deadline status
  shift
  deadline=$(($(harness_us "$EPOCHREALTIME") + $(harness_us "$limit")))
  while :; do
    status=0
    "$@" || status=$?
    ((status == 0 || $(harness_us "$EPOCHREALTIME") >= deadline)) && return "$status"
    sleep "${WAIT_STEP:-0.05}"
  done
}
harness_us() {  # seconds, with a fraction or not, in microseconds
  local whole=${1%%.*} frac=${1#*.}
  [[ $frac == "$1" ]] && frac=""
  frac=${frac}000000
  echo $((10#${whole:-0} * 1000000 + 10#${frac:0:6}))
}

# Xvfb picks a free display number itself and tells it on a file descriptor,
# so that tests side by side never share a server; -noreset keeps it from
# restarting (and refusing clients) each time its last client goes. Sets
# DISPLAY, XVFB_DISPLAY and XVFB_PID; stopped at exit unless XVFB_KEEP is
# set, when it runs in a session of its own, apart from the caller.
start_xvfb() {
  local size=${1:-800x600} numfile run=()
  numfile=$(mktemp)
  [[ -n ${XVFB_KEEP:-} ]] && run=(setsid)
  "${run[@]}" Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset 3>"$numfile" \
    </dev/null >"${XVFB_LOG:-/dev/null}" 2>&1 &
  XVFB_PID=$!
  [[ -n ${XVFB_KEEP:-} ]] || at_exit "kill $XVFB_PID"
  wait_until 10 grep -qx '[0-9][0-9]*' "$numfile" || { rm -f "$numfile"; die "Xvfb did not start"; }
  XVFB_DISPLAY=":$(cat "$numfile")"
  rm -f "$numfile"
  export DISPLAY=$XVFB_DISPLAY
  wait_until 10 xdpyinfo >/dev/null 2>&1 || die "Xvfb $DISPLAY takes no clients"
}
