# Sourced by the display tests: the harness and the launcher driver's
# figures (driver_rect, driver_button), and what they share on a private Xvfb
# with no window manager. The tools come from the environment: GALLERY, PROBE
# (pngprobe), WMCLOSE, PICTURES (the folder of the program's picture files).
# shellcheck source=../harness/launcher-driver.sh
source "$(dirname "${BASH_SOURCE[0]}")/../harness/launcher-driver.sh"

GALLERY_PID=""
at_exit '[[ -z $GALLERY_PID ]] || kill "$GALLERY_PID"'

# A window title as an exact-match regular expression for xdotool.
regex_quote() { sed 's/[][\.*^$()+?{}|]/\\&/g' <<<"$1"; }

# Waits until a window named $1 is mapped; prints its id. Generous: a
# sanitizer build on a loaded machine starts slowly.
wait_window() {
  wait_until 60 visible_window "$(regex_quote "$1")" ||
    die "window '$1' did not appear${OUT:+: $(cat "$OUT" "$ERR" 2>/dev/null)}"
}
visible_window() {
  driver_find_window "$1" "" && return 0
  [[ -z $GALLERY_PID ]] || kill -0 "$GALLERY_PID" 2>/dev/null || die "the gallery ended: $(cat "$OUT" "$ERR")"
  return 1
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
  local status=0
  wait_until 10 gallery_ended || die "gallery did not end: $(cat "$OUT" "$ERR")"
  wait "$GALLERY_PID" || status=$?
  GALLERY_PID=""
  ((status == 0)) || die "gallery exited with $status: $(cat "$OUT" "$ERR")"
}
gallery_ended() { ! kill -0 "$GALLERY_PID" 2>/dev/null; }

# Lets the window draw, then a screenshot of the whole screen into $1.
shoot() { sleep 0.3; import -window root "$1"; }

# The client area's top-left on the screen: "X Y"; its size.
window_origin() { driver_geometry "$1" | cut -d' ' -f1,2; }
window_size() { driver_geometry "$1" | cut -d' ' -f3,4; }

# A mean difference from pngprobe compare, below a limit.
expect_close() {  # WHAT LIMIT ACTUAL
  check "$1: mean difference $3, limit $2" awk -v a="$3" -v l="$2" 'BEGIN {exit !(a < l)}'
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
