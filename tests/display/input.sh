# Keys, clicks and close requests through the X server, answered by the
# program's own handlers: the gallery prints each click and, at its end, the
# main window's members.
#   input.sh CASE   (see the cases below)
source "$(dirname "$0")/common.sh"

YESNO="Acrobat Reader Installation (empfohlen)"
NEWBOX="Mirelund  Installation "

# A second window of the dialogs' title (not $1): the confirmation.
other_window() {
  local ids
  ids=$(xdotool search --onlyvisible --name "^$(regex_quote "$YESNO")\$" 2>/dev/null) || return 1
  if [[ -z $1 ]]; then [[ $(wc -l <<<"$ids") == 2 ]]; else grep -vx "$1" <<<"$ids" | head -1 | grep .; fi
}
# The gallery's answers for "&Ja" and "&Nine" of a dialog at 1500,1500.
JA="click Command1 at 1500,1500|blnAcrobat=0 blnResult=-1|" NINE="click Command2 at 1500,1500|blnAcrobat=0 blnResult=0|"
# The window (gallery arguments, title) answers the keys with the output.
keyed() {  # ARGS TITLE "KEY..." OUTPUT
  local win k
  # shellcheck disable=SC2086
  show "$2" $1 --at 1500,1500
  for k in $3; do key "$win" "$k"; done
  wait_gallery
  expect_eq output "$4" "$(output)"
}
# The gallery showing the window titled $1 (its arguments after): WIN.
show() { start_gallery "${@:2}"; win=$(wait_window "$1"); }
# Output lines of the gallery, for comparing.
output() { tr '\n' '|' <"$OUT"; }
# Keys typed (XTEST) into the window after giving it the input focus; the
# window may be gone before the key is released.
key() {
  timeout 3 xdotool windowfocus --sync "$1" >/dev/null 2>&1 || xdotool windowfocus "$1"
  xdotool key "${@:2}"
}
# A click at a point of the client area whose origin is OX OY.
click() { xdotool mousemove "$1" "$2" click 1; }
# A press sooner than the double-click time (500 ms without a settings
# manager) after a window appeared is not taken as a click on it.
settle() { sleep 0.6; }

start_xvfb 800x600
case "$1" in
  yesno_enter) keyed frmYesNo "$YESNO" Return "$NINE" ;;  # The focus starts on "&Nine"; Enter answers it.
  yesno_tab_enter) keyed frmYesNo "$YESNO" "Tab Return" "$JA" ;;
  yesno_shift_tab_space) keyed frmYesNo "$YESNO" "shift+Tab space" "$JA" ;;  # wraps round to "&Ja"
  yesno_alt_j) keyed frmYesNo "$YESNO" alt+j "$JA" ;;
  yesno_escape) keyed frmYesNo "$YESNO" Escape "$NINE" ;;  # "&Nine" is the cancel button.
  yesno_click_overlap)  # Where the hidden OK overlaps "&Ja", the click is "&Ja"'s.
    show "$YESNO" frmYesNo --at 1500,1500
    settle
    read -r jx jy _ < <(driver_rect confirm Command1)
    read -r ox _ ow _ < <(driver_rect confirm Command3)
    click $((100 + (jx + ox + ow) / 2)) $((100 + jy + 12))
    wait_gallery
    expect_eq output "$JA" "$(output)" ;;
  yesno_click_gap)  # Between the buttons, inside the hidden OK, nothing answers.
    show "$YESNO" frmYesNo --at 1500,1500
    settle
    read -r nx ny nw _ < <(driver_rect confirm Command2) && read -r jx _ < <(driver_rect confirm Command1)
    click $((100 + (nx + nw + jx) / 2)) $((100 + ny + 12))
    sleep 0.4
    kill -0 "$GALLERY_PID" || die "the gallery ended: $(output)"
    expect_eq "output after the click" "" "$(output)"
    read -r x y < <(driver_button confirm Nine)
    click $((100 + x)) $((100 + y))
    wait_gallery
    expect_eq output "$NINE" "$(output)" ;;
  yesno_moved)  # A move by the user is the window's new position.
    show "$YESNO" frmYesNo --at 1500,1500
    xdotool windowmove --sync "$win" 200 150 2>/dev/null || xdotool windowmove "$win" 200 150
    sleep 0.3
    key "$win" Return
    wait_gallery
    expect_eq output "click Command2 at 3000,2250|blnAcrobat=0 blnResult=0|" "$(output)" ;;
  yesno_alt_f4) keyed frmYesNo "$YESNO" alt+F4 "blnAcrobat=0 blnResult=0|" ;;  # unloads without an answer
  newbox_ok_escape)  # The OK-only notice has no cancel button: Escape does nothing.
    show "$NEWBOX" frmNewBox --ok-only --preset sound --at 1500,1500
    key "$win" Escape
    sleep 0.4
    kill -0 "$GALLERY_PID" || die "Escape ended the notice: $(output)"
    expect_eq "output after Escape" "" "$(output)"
    key "$win" Return
    wait_gallery
    expect_eq output "click Command3 at 1500,1500|blnAcrobat=0 blnResult=0|" "$(output)" ;;
  newbox_game_yes) keyed "frmNewBox --preset game" "$NEWBOX" Return "$JA" ;;  # The default "&Ja" has the focus.
  newbox_wm_close)  # A window manager's close request.
    start_gallery frmNewBox --preset game --at 1500,1500
    "$WMCLOSE" "$(wait_window "$NEWBOX")"
    wait_gallery
    expect_eq output "blnAcrobat=0 blnResult=0|" "$(output)" ;;
  msgbox_refuse_confirmed)
    # "&Nine" asks for a confirmation above the offer, which takes no input
    # meanwhile; "&Ja" there confirms, and both windows go.
    start_gallery frmMsgBox --at 0,0
    offer=$(wait_window "$YESNO")
    settle
    click $(driver_button offer Nine)
    confirm=$(wait_until 3 other_window "$offer") || die "no confirmation window"
    expect_eq "confirmation centred on the offer's place" "$(driver_from_offer confirm)" "$(window_origin "$confirm")"
    expect_eq "confirmation's owner" "window id # $(printf '0x%x' "$offer")" \
      "$(xprop -id "$confirm" WM_TRANSIENT_FOR | sed 's/.*: //')"
    settle
    read -r x y w h < <(driver_rect offer Command2)
    click $((x + w - 3)) $((y + h - 3))  # the offer's "&Ja", outside the confirmation: blocked
    sleep 0.4
    expect_eq "output while the confirmation is up" "click Command1 at 0,0|" "$(output)"
    read -r dx dy < <(driver_from_offer confirm) && read -r x y < <(driver_button confirm Ja)
    click $((dx + x)) $((dy + y))  # the confirmation's "&Ja"
    wait_gallery
    expect_eq output "click Command1 at 0,0|blnAcrobat=0 blnResult=-1|" "$(output)" ;;
  option_end)  # The closing window's one button, 30 px from the corner.
    show "Range of our products ..." frmOption
    settle
    click $(driver_button closing Ende)
    wait_gallery
    # A maximized window keeps the position of its definition.
    expect_eq output "click Command1 at 2445,3000|blnAcrobat=0 blnResult=0|" "$(output)" ;;
  option_tooltip)  # Resting on the button shows its tooltip in pale yellow below it.
    show "Range of our products ..." frmOption
    read -r x y < <(driver_button closing Ende)
    xdotool mousemove $((x - 2)) $((y - 2))
    sleep 0.2
    xdotool mousemove "$x" "$y"
    shot=$(mktemp --suffix=.png)
    sleep 1.6
    import -window root "$shot"
    expect_ge "tooltip background below the button" 1000 "$("$PROBE" "$shot" count 500 560 300 40 255 255 225 0)"
    expect_ge "tooltip text" 40 "$("$PROBE" "$shot" count 500 560 300 40 0 0 0 60)" ;;
  confirm_takes_keyboard)  # A new window has the keyboard without being given it.
    show "$YESNO" frmMsgBox --at 0,0
    xdotool key Tab Return  # from "&Ja" to "&Nine", which asks for a confirmation
    wait_until 3 other_window "" >/dev/null || true  # the confirmation; seen by its answers below
    sleep 0.2
    xdotool key Return  # "&Nine" of the confirmation: the offer stays
    sleep 0.4
    expect_eq "answers so far" "click Command1 at 0,0|" "$(output)"
    xdotool key Return  # the offer again has the keyboard; its "&Nine" still has the focus
    sleep 0.4
    expect_eq "the confirmation asked again" 2 \
      "$(xdotool search --onlyvisible --name "^$(regex_quote "$YESNO")\$" | wc -l)" ;;
  *) die "unknown case $1" ;;
esac
