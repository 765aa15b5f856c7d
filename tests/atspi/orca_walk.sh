#!/usr/bin/env bash
# Real Orca, headless with its speech logged, while the launcher's accept
# path is walked with the keyboard alone: every window's name, its texts and
# its focused button must be spoken, and the closing button's tooltip. Run
# by in_session.sh, in a session of its own.
#   orca_walk.sh LAUNCHER
launcher=$1 work=$(mktemp -d)
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/common.sh"
at_exit 'rm -rf "$work"'
offer=$(walk_field accept offer title) newbox=$(walk_field accept game-question title)
closing=$(walk_field accept closing title)
# Orca reads a window as its events come; the next key waits that long
# after the window is up.
settle=1.5

orca --replace -d speech -d braille --debug-file "$work/orca.log" >"$work/orca.out" 2>&1 &
orca=$!
at_exit "kill $orca"

# Orca is listening once the registry lists its window:activate listener.
address=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress |
  sed -n "s/^('\(.*\)',)\$/\1/p")
orca_listens() {
  kill -0 $orca 2>/dev/null || die "Orca ended: $(cat "$work/orca.out")"
  gdbus call --address "$address" --dest org.a11y.atspi.Registry --object-path /org/a11y/atspi/registry \
    --method org.a11y.atspi.Registry.GetRegisteredEvents 2>/dev/null | grep -q "window:activate"
}
wait_until 30 orca_listens || true

orca_keys() {  # ID KEY...: each after Orca has had time to read
  local id=$1 k
  for k in "${@:2}"; do
    sleep "$settle"
    xdotool windowfocus --sync "$id" key --clearmodifiers "$k"
  done
}

driver_start /dev/stderr "$launcher"
WALK_HOOK=: WALK_LIMIT=([offer]=40 [manual-notice]=40 [game-question]=40 [sound-notice]=40 [closing]=40)
WALK_ANSWER=([offer]="orca_keys Tab shift+Tab Return" [manual-notice]="orca_keys Return"
  [game-question]="orca_keys Return" [game-setup]="" [sound-notice]="orca_keys Return" [closing]="orca_keys Return")
driver_walk_accept || die "no $WALK_STOPPED came up, or it did not go"
driver_expect_exit "the launcher's exit status"
# Orca writes its debug file in blocks: all of it is there once it has ended.
kill -TERM $orca
wait $orca 2>/dev/null || true
grep -a "SPEECH OUTPUT" "$work/orca.log" | sed "s/^.*SPEECH OUTPUT: '\(.*\)'{.*\$/\1/" >"$work/spoken.txt"

# Each window's utterance: its name and role, then its texts; then its button.
said() {  # WHAT TEXT...: one utterance holds all the texts, in this order
  local what=$1 pattern=""
  shift
  for t in "$@"; do pattern+="$(sed 's/[][\.*^$/]/\\&/g' <<<"$t").*"; done
  check "Orca said $what" grep -q -- "$pattern" "$work/spoken.txt"
}
spoke() {  # WHAT UTTERANCE: said as a whole
  check "Orca said $1 ('$2')" grep -qxF -- "$2" "$work/spoken.txt"
}
said "the offer" "$offer dialog" "Möchten Sie Acrobat   Reader installieren?" \
  "Diese Programm ermöglicht Ihnen die Ansicht des elektronischen Handbuches für das von Ihnen zu installierende Spiel."
spoke "the offer's focused button" "Ja push button."
spoke "Nine on Tab" "Nine push button."
said "the manual's notice" "$offer dialog" \
  "Um sich das elektronische Handbuch anzuschauen, klicken Sie bitte die MANUAL.PDF Datei auf Ihrer CD doppelt"
said "the game question" "$newbox dialog" "Möchten Sie das Spiel installieren?"
said "the sound notice" "$newbox dialog" "Vor dem Spielen konfigurieren Sie bitte" "erst den Sound mit der CONFIG.EXE," \
  "die Sie im Spiele-Ordner Ihrer Festplatte" "finden können."
spoke "the notices' OK" "OK push button."
said "the closing window" "$closing frame"
spoke "its button" "Ende push button."
spoke "its button's tooltip" "Viel Spaß beim Spielen!"
((HARNESS_FAILED == 0)) || echo "Orca said: $(cat "$work/spoken.txt")"
