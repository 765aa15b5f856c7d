# The dialogs as drawn: position and size, the dark blue background wherever
# nothing is, orange text inside the labels, buttons exactly where the
# definitions put them (15 twips a pixel), nothing where the hidden "&OK"
# lies, the focus drawn on the right button, pictures where they belong.
#   dialogs.sh yesno|yesno_ok|newbox_game|newbox_ok|newbox_not_found|newbox_not_started|msgbox
source "$(dirname "$0")/common.sh"

BLUE=(0 0 64)
ORANGE=(255 128 0)
pictures=()    # CONTROL:FILE
first_blank=0  # the message starts with a line of blanks only
text_end=0     # when set: the text ends above the button row
case "$1" in
  yesno) args=(frmYesNo); title="Acrobat Reader Installation (empfohlen)" ;;
  yesno_ok) args=(frmYesNo --ok-only --preset manual); title="Acrobat Reader Installation (empfohlen)"; first_blank=1 ;;
  newbox_game) args=(frmNewBox --preset game); title="Mirelund  Installation "; first_blank=1 ;;
  newbox_ok) args=(frmNewBox --ok-only --preset sound); title="Mirelund  Installation " ;;
  newbox_not_found | newbox_not_started)  # a setup that did not start: short, above the button
    preset=${1#newbox_}; args=(frmNewBox --ok-only --preset "${preset//_/-}"); title="Mirelund  Installation "; text_end=1 ;;
  msgbox) args=(frmMsgBox); title="Acrobat Reader Installation (empfohlen)"; pictures=(Image1:reader_product.bmp) ;;
  *) die "unknown case $1" ;;
esac

start_xvfb 800x600
start_gallery "${args[@]}" --at 1500,1500 --layout
win=$(wait_window "$title")
shot=$(mktemp --suffix=.png)
shoot "$shot"
# Where the runtime put the client area and the controls, as "X,Y,W,H": the
# labels and the shown buttons in tab order (the first has the focus), the
# hidden OK, the pictures.
size=$(sed -n 's/^client //p' "$OUT")
rect() { awk -v n="$1" '$1 == n {print $2 "," $3 "," $4 "," $5}' "$OUT"; }
mapfile -t labels < <(awk '$1 ~ /^(Label|lbl)/ {print $2 "," $3 "," $4 "," $5}' "$OUT")
mapfile -t buttons < <(awk '$1 ~ /^Command/ && $6 == "shown" {print $7, $2 "," $3 "," $4 "," $5}' "$OUT" | sort -n | cut -d' ' -f2)
hidden=""
! grep -qx 'Command3 .* hidden [0-9]*' "$OUT" || hidden=$(rect Command3)
expect_eq "client origin" "100 100" "$(window_origin "$win")"
expect_eq "client size" "$size" "$(window_size "$win")"
read -r cw ch <<<"$size"

# Everything but the labels, buttons and images is the window's background,
# the hidden button's rectangle included.
except=() vis=()
for r in "${buttons[@]}"; do vis+=(--except "$(at_origin_csv "$r" 100 100)"); done
for r in "${labels[@]}"; do except+=(--except "$(at_origin_csv "$r" 100 100)"); done
for i in "${pictures[@]}"; do except+=(--except "$(at_origin_csv "$(rect "${i%%:*}")" 100 100)"); done
expect_eq "non-background pixels outside the controls" 0 \
  "$("$PROBE" "$shot" countnot 100 100 "$cw" "$ch" "${BLUE[@]}" 0 "${except[@]}" "${vis[@]}")"
if [[ -n "$hidden" ]]; then
  expect_eq "pixels drawn where the hidden OK is" 0 \
    "$("$PROBE" "$shot" countnot $(at_origin "$hidden" 100 100) "${BLUE[@]}" 0 "${vis[@]}")"
fi

# Text in orange inside every label.
for r in "${labels[@]}"; do
  expect_ge "orange text pixels in label $r" 60 "$("$PROBE" "$shot" count $(at_origin "$r" 100 100) "${ORANGE[@]}" 12)"
done
read -r lx ly lw lh <<<"$(at_origin "${labels[0]}" 100 100)"
read -r bx0 by0 bx1 by1 <<<"$("$PROBE" "$shot" bbox "$lx" "$ly" "$lw" "$lh" "${ORANGE[@]}" 60)"
if (( first_blank )); then
  expect_ge "first text line below the line of blanks" $((ly + 15)) "$by0"
else
  expect_le "text starts on the label's first line" $((ly + 6)) "$by0"
fi
expect_le "text starts at the label's left edge" $((lx + 3)) "$bx0"
if (( text_end )); then
  expect_le "text ends above the buttons" $((100 + $(cut -d, -f2 <<<"${buttons[0]}") - 1)) "$by1"
fi

# Buttons: painted over their whole rectangle, in the button face colour
# mostly; the focused one has the dark border and the focus rectangle.
blacks=()
for r in "${buttons[@]}"; do
  read -r x y w h <<<"$(at_origin "$r" 100 100)"
  expect_eq "background pixels inside button $r" 0 "$("$PROBE" "$shot" count "$x" "$y" "$w" "$h" "${BLUE[@]}" 0)"
  expect_ge "button face in $r" $((w * h / 2)) "$("$PROBE" "$shot" count "$x" "$y" "$w" "$h" 212 208 200 0)"
  blacks+=("$("$PROBE" "$shot" count "$x" "$y" "$w" "$h" 0 0 0 40)")
done
if (( ${#buttons[@]} > 1 )); then
  expect_ge "black of the focused button against the other" $((blacks[1] + 150)) "${blacks[0]}"
else
  # Alone, it is focused: its whole outer border is black.
  read -r x y w h <<<"$(at_origin "${buttons[0]}" 100 100)"
  expect_eq "black top border" "$w" "$("$PROBE" "$shot" count "$x" "$y" "$w" 1 0 0 0 0)"
  expect_eq "black left border" "$h" "$("$PROBE" "$shot" count "$x" "$y" 1 "$h" 0 0 0 0)"
fi

for i in "${pictures[@]}"; do
  read -r x y w h <<<"$(at_origin "$(rect "${i%%:*}")" 100 100)"
  expect_close "picture ${i#*:}" 12 "$("$PROBE" "$shot" compare "$PICTURES/${i#*:}" "$x" "$y" "$w" "$h")"
done
