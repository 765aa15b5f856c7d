# The welcome window at a screen size: over the whole screen, Image1's artwork
# stretched over all of it, Image2 framed by its single line 24 px from the
# top-left at its scaled size (its twips times screen twips / 8325 across,
# / 7095 down, at 15 twips a pixel), its picture inside the frame.
#   welcome.sh WIDTHxHEIGHT
source "$(dirname "$0")/common.sh"

size=$1
sw=${size%x*}
sh=${size#*x}
start_xvfb "$size"
start_gallery frmAcrobat --layout
win=$(wait_window "Willkommen zur Mirelund Installation.")
shot=$(mktemp --suffix=.png)
shoot "$shot"
expect_eq "window origin" "0 0" "$(window_origin "$win")"
expect_eq "window size" "$sw $sh" "$(window_size "$win")"

# Image2 where the runtime put it, scaled.
read -r x2 y2 w2 h2 < <(awk '$1 == "Image2" {print $2, $3, $4, $5}' "$OUT")
check "Image2 24 px from the top-left, $w2 x $h2 px" test "$x2,$y2" = 24,24 -a "$w2" -gt 0 -a "$h2" -gt 0
r=$((x2 + w2 - 1))
b=$((y2 + h2 - 1))
expect_eq "frame top" "$w2" "$("$PROBE" "$shot" count $x2 $y2 "$w2" 1 0 0 0 8)"
expect_eq "frame bottom" "$w2" "$("$PROBE" "$shot" count $x2 $b "$w2" 1 0 0 0 8)"
expect_eq "frame left" "$h2" "$("$PROBE" "$shot" count $x2 $y2 1 "$h2" 0 0 0 8)"
expect_eq "frame right" "$h2" "$("$PROBE" "$shot" count $r $y2 1 "$h2" 0 0 0 8)"
# Just outside and just inside the frame there is picture, not another line.
expect_le "column right of the frame" $((h2 / 2)) "$("$PROBE" "$shot" count $((r + 1)) $y2 1 "$h2" 0 0 0 8)"
expect_le "column left of the frame" $((h2 / 2)) "$("$PROBE" "$shot" count $((x2 - 1)) $y2 1 "$h2" 0 0 0 8)"
expect_le "row below the frame" $((w2 / 2)) "$("$PROBE" "$shot" count $x2 $((b + 1)) "$w2" 1 0 0 0 8)"
expect_le "column inside the frame" $((h2 / 2)) "$("$PROBE" "$shot" count $((x2 + 1)) $((y2 + 1)) 1 $((h2 - 2)) 0 0 0 8)"

# The pictures: the inset inside its frame, the artwork over the screen (a
# strip right of the inset, compared against the same strip of the artwork).
expect_close "inset picture" 10 \
  "$("$PROBE" "$shot" compare "$PICTURES/welcome_inset.jpg" $((x2 + 1)) $((y2 + 1)) $((w2 - 2)) $((h2 - 2)))"
expect_close "artwork over the whole screen" 10 \
  "$("$PROBE" "$shot" compare "$PICTURES/welcome.jpg" 0 0 "$sw" "$sh" --skip $x2,$y2,$w2,$h2)"
