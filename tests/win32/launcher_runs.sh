#!/usr/bin/env bash
# The whole launcher under wine, on the run's display and prefix (wine.sh),
# driven by xdotool; checked by the stub setups' records, screenshots at
# pixel level and the exit status.
#   launcher_runs.sh a VERSION WORK LOADER CD DEFAULT
#     Run A: from the demo CD CD as drive D:, accepting everything, with the
#     real 20 s wait, wine reporting Windows VERSION (then DEFAULT again).
#   launcher_runs.sh b DEFAULT WORK LOADER CD DECOY
#     Run B: from "C:\Program Files\Mirelund CD" under code page 1251,
#     refusing Acrobat Reader; the stub DECOY is C:\Program.exe, which an
#     unquoted start would reach first. Needs run A's shots under DEFAULT.
#   launcher_runs.sh p DEFAULT WORK LOADER CD CANARY PROBE CLIENT
#     Run P: run A from a copy of CD with the DLL CANARY planted beside
#     START.EXE under the names installers were hijacked through, wine told
#     to prefer a DLL beside the program for those names (as Windows does
#     for every DLL outside its KnownDLLs); an accessibility client (CLIENT)
#     reads the offer. No canary may note a load. PROBE, which loads them by
#     bare name, shows first that a careless program would load each one.
#     Then START.EXE.local beside it: the standard error, status 1.
#   launcher_runs.sh big WxH WORK LOADER CD DEFAULT
#     Run A on a screen of W x H pixels: an Xvfb and a prefix of its own
#     (wine's desktop keeps the size of the display its server first met).
# Screenshots stay in WORK/shots/.
run=$1 version=$2 work=$3 loader=$4 cd=$5 extra=$6
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../../tools/launcher-driver.sh
source "$here/../../tools/launcher-driver.sh"
# shellcheck source=../../tools/wine-env.sh
source "$here/../../tools/wine-env.sh"
wine_env "$work/prefix" "$loader"
probe=$work/pngprobe
screen_w=1024 screen_h=768 shots=a-$version
if [[ $run == big ]]; then
  screen_w=${version%x*} screen_h=${version#*x} shots=a-$extra-$version version=$extra
  big=$work/big-${screen_w}x$screen_h
  rm -rf "$big"
  mkdir -p "$big"
  start_xvfb "${screen_w}x$screen_h"
  wine_env "$big/prefix" "$loader"
  at_exit "rm -rf '$big/prefix'"
  at_exit "'$WINESERVER' -k"
  wine_make_prefix "$big/wineboot.log" || die "no wine prefix (see $big/wineboot.log)"
  "$WINESERVER" -p </dev/null >/dev/null 2>&1
  echo "display $DISPLAY (${screen_w}x$screen_h, 96 dpi), wine prefix $WINEPREFIX"
else
  export DISPLAY=":$(head -n1 "$work/display")"
fi
# Where the closing screen's button lies: its bottom right corner.
corner_x=$((screen_w - 1024)) corner_y=$((screen_h - 768))

dark_blue="0 0 64"
orange="255 128 0"
# Frame widths: the definitions' twips at 15 twips per pixel, and wine's frame.
offer_width=377 notice_width=281 box_width=284
stub_log=$work/stubs-$run-$version.log
: >"$stub_log"
export MIRELUND_STUB_LOG="Z:${stub_log//\//\\}"
[[ $run != a || $version == "$extra" ]] || at_exit wine_report_windows "$extra"

geometry() { read -r X Y WIDTH HEIGHT < <(driver_geometry "$1"); }  # sets X Y WIDTH HEIGHT
count() { "$probe" "$DRIVER_SCREENS/$1.png" count "${@:2}" 0; }
bbox() { "$probe" "$DRIVER_SCREENS/$1.png" bbox "${@:2}" 0; }
wait_log() { wait_until 20 noted "$1"; }  # until the stubs have noted N lines
noted() { (($(wc -l <"$stub_log") >= $1)); }
maximized() {  # a stub setup's window ID
  geometry "$1"
  ((X <= 0 && Y <= 0 && X + WIDTH >= screen_w && Y + HEIGHT >= screen_h))
}

# The client area of window ID (the definition's W x H pixels) in shot S:
# dark blue to its edges, framed by something else. Sets CX CY CW CH.
check_client() {
  local s=$1 id=$2 cw=$3 ch=$4 what=$5
  geometry "$id"
  local l=$(((WIDTH - cw) / 2))
  CX=$((X + l)) CY=$((Y + HEIGHT - ch - l)) CW=$cw CH=$ch
  # shellcheck disable=SC2086
  check "$what: dark blue client area of ${cw}x${ch}" test \
    "$(count "$s" $CX $CY $cw 1 $dark_blue)" -eq $cw -a "$(count "$s" $CX $((CY + ch - 1)) $cw 1 $dark_blue)" -eq $cw -a \
    "$(count "$s" $CX $CY 1 $ch $dark_blue)" -eq $ch -a "$(count "$s" $((CX + cw - 1)) $CY 1 $ch $dark_blue)" -eq $ch -a \
    "$(count "$s" $((CX - 1)) $CY 1 $ch $dark_blue)" -eq 0 -a "$(count "$s" $((CX + cw)) $CY 1 $ch $dark_blue)" -eq 0 -a \
    "$(count "$s" $CX $((CY + ch)) $cw 1 $dark_blue)" -eq 0
}
# Orange text, and all of it inside the labels' box (client coordinates).
check_text() {
  local s=$1 lx=$2 ly=$3 lw=$4 lh=$5 what=$6 n b inside
  n=$(count "$s" $CX $CY $CW $CH $orange)
  b=$(bbox "$s" $((CX + lx)) $((CY + ly)) $lw $lh $orange)
  inside=$(count "$s" $((CX + lx)) $((CY + ly)) $lw $lh $orange)
  check "$what: $n orange text pixels, $inside in the labels ($b)" test "$n" -gt 150 -a "$n" -eq "$inside"
}
# A visible button covers its rectangle; a hidden one leaves the dark blue.
check_button() {
  local s=$1 bx=$2 by=$3 bw=$4 bh=$5 what=$6 blue
  blue=$(count "$s" $((CX + bx + 3)) $((CY + by + 3)) $((bw - 6)) $((bh - 6)) $dark_blue)
  expect_eq "$what shown: dark blue pixels inside" 0 "$blue"
}
check_hidden() {  # the part of a hidden button's rectangle no other button covers
  local s=$1 bx=$2 by=$3 bw=$4 bh=$5 what=$6 blue
  blue=$(count "$s" $((CX + bx)) $((CY + by)) $bw $bh $dark_blue)
  expect_eq "$what hidden: dark blue pixels" $((bw * bh)) "$blue"
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
check_exit() {
  driver_wait_exit
  expect_eq "$1: program's exit status" 0 "$DRIVER_EXIT_STATUS"
}

run_a() {
  ra=${RUN_NAME:-A ($version)}
  local label=${RUN_LABEL:-$shots}
  echo "=== Run $ra: from D:\\, accepting everything, Windows $version, ${screen_w}x$screen_h"
  if wine_report_windows "$version"; then pass "wine reports Windows $version ($WINE_REPORTED)"
  else fail "wine reports Windows $version"; fi
  export DRIVER_SCREENS=$work/shots/$label
  rm -rf "$DRIVER_SCREENS"
  mkdir -p "$DRIVER_SCREENS"
  ln -sfn "$cd" "$WINEPREFIX/dosdevices/d:"
  "$WINE" 'D:\START.EXE' </dev/null >"$work/run-$label.log" 2>&1 &
  DRIVER_LAUNCHER_PID=$!
  seen=""
  WALK_WIDTH=([offer]=$offer_width [waiting]="" [manual-notice]=$notice_width [game-question]=$box_width
    [sound-notice]=$box_width [closing]=$screen_w)
  WALK_LIMIT=([offer]=40 [acrobat-setup]=40 [manual-notice]=40 [game-setup]=40)
  WALK_ANSWER=([offer]="" [manual-notice]="driver_key space" [game-setup]="" [sound-notice]="driver_key Return"
    [closing]="")
  WALK_HOOK=a_window
  if ! driver_wait_window "$DRIVER_WELCOME_TITLE" "$screen_w" 40 >/dev/null; then
    fail "$ra: welcome screen"
    return
  fi
  driver_walk_accept || fail "$ra: the accept walk stopped at the $WALK_STOPPED"
  [[ $seen == *acrobat-setup* ]] || fail "$ra: Acrobat Reader setup window"
  [[ $seen == *game-setup* ]] || fail "$ra: game setup window"
  check "$ra: game setup noted" wait_log 2
  [[ $seen != *closing* ]] || check_exit "$ra"
  check "$ra: the two setups started with exactly their quoted paths" cmp -s "$stub_log" \
    <(printf 'Acrobat Reader Setup\t"D:\\Acrobat\\Setup.exe"\nMirelund Setup\t"D:\\Data\\Subset.exe"\n')
}

# Run A's checks of each window the walk comes to: STEP ID.
a_window() {
  local s=${WALK_NUMBER[$1]} id=$2
  seen+=" $1"
  case $1 in
    offer)
      pass "$ra: welcome screen and offer shown"
      driver_shot "$s" "$id"
      geometry "$(driver_find_window "$DRIVER_WELCOME_TITLE" "$screen_w")"
      check "$ra: welcome screen covers the screen from 0,0" test "$X,$Y" = "0,0"
      # Image2's single-line border, 360 twips from the top left.
      check "$ra: framed inset's border" test "$(count "$s" 24 40 1 400 0 0 0)" -eq 400 -a \
        "$(count "$s" 40 24 300 1 0 0 0)" -eq 300
      check_client "$s" "$id" 371 172 "$ra offer"
      geometry "$id"
      offer_x=$X offer_y=$Y
      check_text "$s" 144 16 233 105 "$ra offer"
      check_button "$s" 264 136 65 25 "$ra offer: Ja"
      check_button "$s" 176 136 65 25 "$ra offer: Nine"
      [[ -z ${RUN_ACCESS_CLIENT:-} ]] || read_offer "$ra"
      driver_key "$id" Return
      accepted=$(date +%s%N) ;;
    acrobat-setup)
      wait_until 40 maximized "$id" || { fail "$ra: Acrobat Reader setup window maximized"; return; }
      pass "$ra: Acrobat Reader setup started, its window maximized"
      driver_shot "$s" "$id"
      check "$ra: Acrobat Reader setup noted" wait_log 1
      local ticks0 ticks1
      sleep 4
      ticks0=$(cpu_ticks "$DRIVER_LAUNCHER_PID")
      sleep 8
      ticks1=$(cpu_ticks "$DRIVER_LAUNCHER_PID")
      # Eight seconds of the wait: well under a fifth of a core.
      check "$ra: the wait burns no core ($((ticks1 - ticks0)) ticks in 8 s)" \
        bash -c "tr '\\0' ' ' </proc/$DRIVER_LAUNCHER_PID/cmdline | grep -q 'START.EXE' && test $((ticks1 - ticks0)) -lt 160" ;;
    manual-notice)
      local waited=$((($(date +%s%N) - accepted) / 1000000))
      check "$ra: manual notice after the 20 s wait (${waited} ms)" test $waited -ge 19500 -a $waited -lt 40000
      driver_shot "$s" "$id"
      check_client "$s" "$id" 275 140 "$ra manual notice"
      geometry "$id"
      check "$ra: manual notice at the offer's place" test "$X,$Y" = "$offer_x,$offer_y"
      check_text "$s" 16 8 249 81 "$ra manual notice"
      check_button "$s" 104 104 65 25 "$ra manual notice: OK"
      check_hidden "$s" 56 104 48 25 "$ra manual notice: Nine"
      check_hidden "$s" 169 104 56 25 "$ra manual notice: Ja" ;;
    game-question)
      driver_shot "$s" "$id"
      check_client "$s" "$id" 278 126 "$ra game question"
      check_text "$s" 8 16 265 73 "$ra game question"
      check_button "$s" 160 88 81 25 "$ra game question: Ja"
      check_button "$s" 40 88 81 25 "$ra game question: Nine"
      check_hidden "$s" 121 88 39 25 "$ra game question: OK" ;;
    game-setup)
      wait_until 40 maximized "$id" || { fail "$ra: game setup window maximized"; return; }
      pass "$ra: game setup started, its window maximized"
      driver_shot "$s" "$id" ;;
    sound-notice)
      driver_shot "$s" "$id"
      check_client "$s" "$id" 278 126 "$ra sound notice"
      check_text "$s" 8 16 265 73 "$ra sound notice"
      check_button "$s" 104 88 81 25 "$ra sound notice: OK"
      check_hidden "$s" 40 88 64 25 "$ra sound notice: Nine"
      check_hidden "$s" 185 88 56 25 "$ra sound notice: Ja" ;;
    closing)
      xdotool mousemove 5 5
      driver_shot "$s" "$id"
      geometry "$id"
      check "$ra: closing screen covers the screen from 0,0" test "$X,$Y" = "0,0"
      # The button is 81 x 25, 30 pixels from the bottom right corner. Its face
      # lies inside its edges, at most 3 pixels in.
      local face fx fy fx1 fy1 right bottom changed
      face=$("$probe" "$DRIVER_SCREENS/$s.png" at $((corner_x + 917)) $((corner_y + 717)))
      # shellcheck disable=SC2086
      read -r fx fy fx1 fy1 <<<"$(bbox "$s" $((corner_x + 880)) $((corner_y + 680)) 144 88 $face)"
      right=$((screen_w - 1 - fx1)) bottom=$((screen_h - 1 - fy1))
      fx=$((fx - corner_x)) fy=$((fy - corner_y))
      check "$ra: closing button 30 px from the corner (face at $fx,$fy to $fx1,$fy1)" test \
        $fx -ge 913 -a $fx -le 916 -a $fy -ge 713 -a $fy -le 716 -a $right -ge 30 -a $right -le 33 -a \
        $bottom -ge 30 -a $bottom -le 33
      xdotool mousemove $((corner_x + 953)) $((corner_y + 725))
      sleep 2
      driver_shot 09-closing-tooltip "$id"
      changed=$("$probe" "$DRIVER_SCREENS/09-closing-tooltip.png" diff "$DRIVER_SCREENS/$s.png" \
        $((corner_x + 700)) $((corner_y + 600)) 324 168)
      check "$ra: tooltip shown over the button ($changed pixels changed)" test "$changed" -gt 300
      xdotool click 1 ;;
  esac
}

run_b() {
  echo "=== Run B: from C:\\Program Files\\Mirelund CD, refusing Acrobat Reader, code page 1251, Windows $version"
  local cd_b="$WINEPREFIX/drive_c/Program Files/Mirelund CD"
  rm -rf "$cd_b"
  mkdir -p "$cd_b"
  cp -r "$cd/." "$cd_b/"
  # Where a launcher that put no separator after a folder that is not a root
  # would look, and what an unquoted start would reach first: neither starts.
  mkdir -p "$WINEPREFIX/drive_c/Program Files/Mirelund CDData"
  cp "$cd/Data/Subset.exe" "$WINEPREFIX/drive_c/Program Files/Mirelund CDData/Subset.exe"
  cp "$extra" "$WINEPREFIX/drive_c/Program.exe"
  export DRIVER_SCREENS=$work/shots/b
  rm -rf "$DRIVER_SCREENS"
  mkdir -p "$DRIVER_SCREENS"
  LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 "$WINE" 'C:\Program Files\Mirelund CD\START.EXE' </dev/null \
    >"$work/run-b.log" 2>&1 &
  DRIVER_LAUNCHER_PID=$!
  local offer confirm notice game stub sound closing ox oy cx cy differ
  if ! offer=$(driver_wait_window "$DRIVER_OFFER_TITLE" $offer_width 40); then
    fail "B: offer"
    return
  fi
  sleep 1
  driver_key "$offer" Escape
  if confirm=$(driver_wait_window "$DRIVER_OFFER_TITLE" $notice_width); then
    driver_shot 11-confirm "$confirm"
    check_client 11-confirm "$confirm" 275 140 "B confirm"
    check_text 11-confirm 16 8 249 81 "B confirm"
    check_button 11-confirm 56 104 65 25 "B confirm: Nine"
    check_button 11-confirm 160 104 65 25 "B confirm: Ja"
    geometry "$offer"
    ox=$((X + WIDTH / 2)) oy=$((Y + HEIGHT / 2))
    geometry "$confirm"
    cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2))
    check "B: confirm centred on the offer ($cx,$cy / $ox,$oy)" test $((cx - ox)) -ge -1 -a $((cx - ox)) -le 1 -a \
      $((cy - oy)) -ge -1 -a $((cy - oy)) -le 1
    driver_key "$confirm" Tab
    driver_key "$confirm" Return
    driver_wait_gone "$confirm"
  else
    fail "B: confirm"
  fi
  check "B: offer closed with the confirmed refusal" driver_wait_gone "$offer"
  if notice=$(driver_wait_window "$DRIVER_OFFER_TITLE" $notice_width); then
    driver_key "$notice" alt+F4
    check "B: Alt+F4 closes the manual notice" driver_wait_gone "$notice"
  else
    fail "B: manual notice"
  fi
  if game=$(driver_wait_window "$DRIVER_NEWBOX_TITLE" $box_width); then
    driver_key "$game" alt+j
    driver_wait_gone "$game"
  else
    fail "B: game question"
  fi
  if stub=$(driver_wait_window "Mirelund Setup" "" 40) && wait_until 40 maximized "$stub"; then
    driver_wait_gone "$stub" 20
  fi
  if sound=$(driver_wait_window "$DRIVER_NEWBOX_TITLE" $box_width); then
    driver_shot 12-sound-notice "$sound"
    check_client 12-sound-notice "$sound" 278 126 "B sound notice"
    # The same text at the same place as in run A, under code page 1252.
    differ=$("$probe" "$DRIVER_SCREENS/12-sound-notice.png" diff "$work/shots/a-$version/07-sound-notice.png" \
      $CX $CY 278 126)
    check "B: sound notice as under code page 1252 (${differ:-no} pixels differ)" test "${differ:-1}" -eq 0
    xdotool mousemove $((CX + 144)) $((CY + 100)) click 1
    check "B: mouse click on OK closes the sound notice" driver_wait_gone "$sound"
  else
    fail "B: sound notice"
  fi
  if closing=$(driver_wait_window "$DRIVER_CLOSING_TITLE" 1024); then
    driver_key "$closing" Return
    check_exit "B"
  else
    fail "B: closing screen"
  fi
  check "B: only the game setup started, quoted, C:\\Program.exe not" cmp -s "$stub_log" \
    <(printf 'Mirelund Setup\t"C:\\Program Files\\Mirelund CD\\Data\\Subset.exe"\n')
}

# What a screen reader reads of the offer, from a process of its own: the
# dialog and its four children, the buttons by name (roles: 18 dialog, 41
# static text, 43 push button). START.EXE loads oleacc only now.
read_offer() {
  local out=$work/access-client.txt buttons labels
  "$WINE" "$RUN_ACCESS_CLIENT" 'Acrobat Reader Installation (empfohlen)' </dev/null 2>/dev/null | tr -d '\r' >"$out" || true
  buttons=$(grep -cx -e $'Ja\t43' -e $'Nine\t43' "$out" || true)
  labels=$(grep -c $'\t41$' "$out" || true)
  check "$1: an accessibility client reads the offer: dialog, $labels texts, $buttons buttons" \
    test "$(head -n1 "$out")" = $'Acrobat Reader Installation (empfohlen)\t18' -a "$buttons" -eq 2 -a "$labels" -eq 2
}

# The names installers were hijacked through, each a DLL outside the
# KnownDLLs of some Windows from XP to 11. Left out, because wine's own
# builtin libraries load them where Windows' do not, as the process starts,
# before any code of ours runs: version (wine 8's user32 imports it), imm32
# (its comctl32 imports it; a KnownDLL on Windows 7 and later) and uxtheme
# (its user32 delay-loads it as the display driver comes up; START.EXE
# loads it from the system folder before its first window all the same).
# START.EXE's preloads where the search cannot be narrowed.
preloaded="uxtheme msimg32 dwmapi userenv setupapi apphelp propsys cryptbase clbcatq ntmarta version"
planted_names=(dwmapi userenv propsys apphelp cryptbase oleacc winmm msimg32 setupapi clbcatq ntmarta
  cryptsp sspicli secur32 profapi wtsapi32 winsta netapi32 mpr textshaping usp10 dbghelp shfolder)

run_p() {
  local canary=$extra careless=$7 client=$8 planted=$work/planted-cd n loaded missing=()
  local canary_log=$work/canaries.log
  echo "=== Run P: ${#planted_names[@]} canary DLLs beside START.EXE, loaded native-first"
  rm -rf "$planted"
  mkdir -p "$planted"
  cp -r "$cd/." "$planted/"
  for n in "${planted_names[@]}"; do cp "$canary" "$planted/$n.dll"; done
  cp "$careless" "$planted/canary_probe.exe"
  export MIRELUND_CANARY_LOG="Z:${canary_log//\//\\}"
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$(IFS=,; echo "${planted_names[*]}")=n,b"
  export WINEDLLOVERRIDES
  ln -sfn "$planted" "$WINEPREFIX/dosdevices/d:"

  : >"$canary_log"
  "$WINE" 'D:\canary_probe.exe' "${planted_names[@]/%/.dll}" </dev/null >"$work/canary-probe.log" 2>&1 || true
  for n in "${planted_names[@]}"; do grep -qi "^D:\\\\$n\.dll	" "$canary_log" || missing+=("$n"); done
  check "P: a program loading them by bare name loads every canary (${missing[*]:-all noted})" \
    test ${#missing[@]} -eq 0
  # XP's way (no SetDefaultDllDirectories): what the system folder has of
  # the preloaded names comes from there; the rest still from beside us.
  : >"$canary_log"
  "$WINE" 'D:\canary_probe.exe' --without-default-directories "${planted_names[@]/%/.dll}" </dev/null \
    >>"$work/canary-probe.log" 2>&1 || true
  local wrong=() expect
  for n in "${planted_names[@]}"; do
    expect=1
    [[ " $preloaded " == *" $n "* && -e $WINEPREFIX/drive_c/windows/system32/$n.dll ]] && expect=0
    [[ $(grep -ci "^D:\\\\$n\.dll	" "$canary_log") -eq $expect ]] || wrong+=("$n")
  done
  check "P: protected as on XP, the preloaded DLLs come from the system folder (${wrong[*]:-as expected})" \
    test ${#wrong[@]} -eq 0
  rm -f "$planted/canary_probe.exe"

  : >"$canary_log"
  RUN_NAME="P (planted DLLs, $version)" RUN_LABEL=p RUN_ACCESS_CLIENT=$client cd=$planted run_a
  loaded=$(cut -f1 "$canary_log" | sort -u | tr '\n' ' ')
  check "P: no canary loaded through the whole sequence (${loaded:-none})" test ! -s "$canary_log"

  echo "=== Run P: START.EXE.local beside it"
  : >"$planted/START.EXE.local"
  "$WINE" 'D:\START.EXE' </dev/null >"$work/run-p-local.log" 2>&1 &
  DRIVER_LAUNCHER_PID=$!
  local box
  if box=$(driver_wait_window START "" 40); then
    driver_shot 10-local-refused "$box"
    pass "P: with START.EXE.local the standard error message comes up"
    driver_key "$box" Return
    driver_wait_exit
    expect_eq "P: and the program's exit status" 1 "$DRIVER_EXIT_STATUS"
  else
    fail "P: with START.EXE.local, no error message"
  fi
  check "P: nor then a canary loaded" test ! -s "$canary_log"
}

case $run in
  a | big) run_a ;;
  b) run_b ;;
  p) run_p "$@" ;;
  *) echo "launcher_runs.sh: a, big, b or p, not $run" >&2; exit 2 ;;
esac
