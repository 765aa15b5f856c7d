# Sourced by the display tests: a private Xvfb on a free display number, with
# no window manager, stopped when the test exits; and the helpers the tests
# share. The tools come from the environment: GALLERY, PROBE (pngprobe),
# WMCLOSE, PICTURES (the folder of the program's picture files).
#   start_xvfb WIDTHxHEIGHT
set -euo pipefail

XVFB_PID=""
GALLERY_PID=""
stop_all() {
  if [[ -n "$GALLERY_PID" ]] && kill -0 "$GALLERY_PID" 2>/dev/null; then kill "$GALLERY_PID" 2>/dev/null || true; fi
  if [[ -n "$XVFB_PID" ]]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}
trap stop_all EXIT

start_xvfb() {
  # Xvfb itself picks a free display number and tells it on a file descriptor,
  # so that tests running side by side never share a server; -noreset keeps
  # it from restarting (and refusing clients) each time its last client goes.
  local size=$1 numfile i
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset 3>"$numfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  for i in $(seq 1 200); do
    if [[ -s "$numfile" ]] && grep -q '^[0-9][0-9]*$' "$numfile"; then
      export DISPLAY=":$(cat "$numfile")"
      rm -f "$numfile"
      xdpyinfo >/dev/null 2>&1 && return 0
    fi
    kill -0 "$XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  fail "Xvfb did not start"
}

fail() { echo "FAIL: $*" >&2; exit 1; }

# A window title as an exact-match regular expression for xdotool.
regex_quote() { sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$1"; }

# Waits until a window named $1 is mapped; prints its id.
wait_window() {
  local name i id
  name=$(regex_quote "$1")
  # Generous: a sanitizer build on a loaded machine starts slowly.
  for i in $(seq 1 1200); do
    id=$(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null | head -1 || true)
    if [[ -n "$id" ]]; then echo "$id"; return 0; fi
    if [[ -n "${GALLERY_PID:-}" ]] && ! kill -0 "$GALLERY_PID" 2>/dev/null; then
      fail "window '$name' did not appear: the gallery ended: $(cat "$OUT" "$ERR" 2>/dev/null)"
    fi
    sleep 0.05
  done
  fail "window '$name' did not appear${ERR:+: $(cat "$ERR" 2>/dev/null)}"
}

# Starts the gallery in the background, its output into $OUT, its
# diagnostics into $ERR.
start_gallery() {
  OUT=$(mktemp)
  ERR=$(mktemp)
  "$GALLERY" "$@" >"$OUT" 2>"$ERR" &
  GALLERY_PID=$!
}

# Waits for the gallery to end; fails if it does not within 10 s.
wait_gallery() {
  local i
  for i in $(seq 1 200); do
    if ! kill -0 "$GALLERY_PID" 2>/dev/null; then wait "$GALLERY_PID" || fail "gallery exited with $?: $(cat "$OUT" "$ERR")"; GALLERY_PID=""; return 0; fi
    sleep 0.05
  done
  fail "gallery did not end: $(cat "$OUT" "$ERR")"
}

# Lets the window draw, then a screenshot of the whole screen into $1.
shoot() { sleep 0.3; import -window root "$1"; }

# The client area's top-left on the screen: "X Y".
window_origin() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}
window_size() {
  xwininfo -id "$1" | awk '/^ *Width:/ {w=$2} /^ *Height:/ {h=$2} END {print w, h}'
}

expect_eq() {  # WHAT EXPECTED ACTUAL
  [[ "$2" == "$3" ]] || fail "$1: expected '$2', got '$3'"
}
expect_ge() {  # WHAT MIN ACTUAL
  (( $3 >= $2 )) || fail "$1: expected at least $2, got $3"
}
expect_le() {  # WHAT MAX ACTUAL
  (( $3 <= $2 )) || fail "$1: expected at most $2, got $3"
}
# A mean difference from pngprobe compare, below a limit.
expect_close() {  # WHAT LIMIT ACTUAL
  awk -v a="$3" -v l="$2" 'BEGIN {exit !(a < l)}' || fail "$1: mean difference $3, limit $2"
}

# Rectangle "X,Y,W,H" of the client area moved onto the screen by the client
# origin OX OY: prints "X Y W H".
at_origin() {  # RECT OX OY
  local x y w h
  IFS=, read -r x y w h <<<"$1"
  echo "$((x + $2)) $((y + $3)) $w $h"
}
# The same as "X,Y,W,H", for --except.
at_origin_csv() {  # RECT OX OY
  at_origin "$@" | tr ' ' ,
}
