#!/usr/bin/env bash
# Real Orca, headless with its speech logged, while the launcher's accept
# path is walked with the keyboard alone: every window's name, its texts and
# its focused button must be spoken, and the closing button's tooltip. Run
# by in_session.sh.
#   orca_walk.sh LAUNCHER WORK_DIR
set -euo pipefail
launcher=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/common.sh"
offer="Acrobat Reader Installation (empfohlen)" newbox="Mirelund  Installation "
closing="Range of our products ..."
# Orca reads a window as its events come; the next key waits that long
# after the window is up.
settle=1.5

orca --replace -d speech -d braille --debug-file "$work/orca.log" >"$work/orca.out" 2>&1 &
orca=$!
launcher_pid=""
stop() {
  if [[ -n $launcher_pid ]]; then kill "$launcher_pid" 2>/dev/null || true; fi
  kill "$orca" 2>/dev/null || true
}
trap stop EXIT

# Orca is listening once the registry lists its window:activate listener.
address=$(gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus --method org.a11y.Bus.GetAddress |
  sed -n "s/^('\(.*\)',)\$/\1/p")
for i in $(seq 1 300); do
  gdbus call --address "$address" --dest org.a11y.atspi.Registry --object-path /org/a11y/atspi/registry \
    --method org.a11y.atspi.Registry.GetRegisteredEvents 2>/dev/null | grep -q "window:activate" && break
  kill -0 $orca 2>/dev/null || fail "Orca ended: $(cat "$work/orca.out")"
  sleep 0.1
done

# The visible window of that name other than $2 (several share a caption).
next_window() {
  local name i id
  name=$(regex_quote "$1")
  for i in $(seq 1 800); do
    for id in $(xdotool search --onlyvisible --name "^${name}\$" 2>/dev/null); do
      [[ $id != "${2:-}" ]] && { echo "$id"; return 0; }
    done
    sleep 0.05
  done
  fail "no window '$1' came up"
}
key() {
  sleep "$settle"
  xdotool windowfocus --sync "$1" key --clearmodifiers "$2"
}

"$launcher" &
launcher_pid=$!
id=$(next_window "$offer")
key "$id" Tab
key "$id" shift+Tab
key "$id" Return
id=$(next_window "$offer" "$id")  # the manual's notice, after the 20 s wait
key "$id" Return
id=$(next_window "$newbox")
key "$id" Return
id=$(next_window "$newbox" "$id")  # the sound notice
key "$id" Return
id=$(next_window "$closing")
key "$id" Return
wait $launcher_pid || fail "the launcher ended with status $?"
launcher_pid=""
# Orca writes its debug file in blocks: all of it is there once it has ended.
kill -TERM $orca
wait $orca 2>/dev/null || true
grep -a "SPEECH OUTPUT" "$work/orca.log" | sed "s/^.*SPEECH OUTPUT: '\(.*\)'{.*\$/\1/" >"$work/spoken.txt"

# Each window's utterance: its name and role, then its texts; then its button.
said() {  # WHAT TEXT...: one utterance holds all the texts, in this order
  local what=$1 pattern=""
  shift
  for t in "$@"; do pattern+="$(sed 's/[][\.*^$/]/\\&/g' <<<"$t").*"; done
  grep -q -- "$pattern" "$work/spoken.txt" || fail "Orca did not say $what; it said: $(cat "$work/spoken.txt")"
}
spoke() {  # WHAT UTTERANCE: said as a whole
  grep -qxF -- "$2" "$work/spoken.txt" || fail "Orca did not say $1 ('$2'); it said: $(cat "$work/spoken.txt")"
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
echo "Orca said every window's name, texts and focused button"
