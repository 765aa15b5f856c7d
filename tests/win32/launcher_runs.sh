#!/usr/bin/env bash
# The whole launcher under wine, on the run's display and prefix (wine.sh),
# driven by xdotool; checked by the stub setups' records, screenshots at
# pixel level and the exit status.
#   launcher_runs.sh a VERSION WORK LOADER CD DEFAULT
#     Run A: from the demo CD CD as drive D:, accepting everything, with the
#     real wait, wine reporting Windows VERSION (then DEFAULT again).
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
#     Then START.EXE.local beside it: the standard error, status 1. With
#     START, that program is START.EXE (start_xp: the branch of XP, Vista and
#     7 without KB2533623), and each setup must have been handed the DLL
#     search a program started from Explorer hands on, and its folder.
#   launcher_runs.sh m DEFAULT WORK LOADER CD CANARY REFUSAL
#     Run M: a START.EXE.manifest planted beside START.EXE that makes a
#     canary comctl32 beside it the program's own, under DEFAULT and under
#     Windows 10 with PreferExternalManifest: the standard error, status 1,
#     no canary. Wine never lets such a file win, as XP does, so REFUSAL
#     (refusal_probe) refuses with it made the active context: no canary;
#     and a plain message box under it, the control, loads the canary.
#   launcher_runs.sh e DEFAULT WORK LOADER CD START CANARY
#     Run E: run A with START (start_elevation) as START.EXE, whose starts
#     fail as for a setup that asks for elevation: each setup is started by
#     the shell, the same program from the same folder with the same
#     arguments, owned by the welcome window, and the sequence runs on as
#     run A's; with run P's canaries planted, none of which may load.
#   launcher_runs.sh big WxH WORK LOADER CD DEFAULT
#     Run A on a screen of W x H pixels: an Xvfb and a prefix of its own
#     (wine's desktop keeps the size of the display its server first met).
# Screenshots stay in WORK/shots/.
run=$1 version=$2 work=$3 loader=$4 cd=$5 extra=$6
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../harness/launcher-driver.sh
source "$here/../harness/launcher-driver.sh"
# shellcheck source=../harness/wine-env.sh
source "$here/../harness/wine-env.sh"
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
# The windows' figures from the program (LAYOUTS, the layouts program of
# this tree), the full-screen windows' on this screen.
driver_layouts "$WINE" "$LAYOUTS"
on_screen=$("$WINE" "$LAYOUTS" "${screen_w}x$screen_h" | tr -d '\r')
read -r end_x end_y end_w end_h < <(DRIVER_LAYOUT=$on_screen driver_rect closing Command1)
read -r inset_x inset_y inset_w inset_h < <(DRIVER_LAYOUT=$on_screen driver_rect welcome Image2)

dark_blue="0 0 64"
orange="255 128 0"
wine_stub_log "$work/stubs-$run-$version.log"
[[ $run != a || $version == "$extra" ]] || at_exit wine_report_windows "$extra"

count() { "$probe" "$DRIVER_SCREENS/$1.png" count "${@:2}" 0; }
bbox() { "$probe" "$DRIVER_SCREENS/$1.png" bbox "${@:2}" 0; }
wait_log() { wait_until 20 noted "$1"; }  # until the stubs have noted N lines
noted() { (($(wc -l <"$STUB_LOG") >= $1)); }
maximized() {  # a stub setup's window STEP, whichever of that title is shown now: sets its ID
  local id
  id=$(driver_find_window "${WALK_TITLE[$1]}" "") && driver_place "$id" &&
    ((X <= 0 && Y <= 0 && X + WIDTH >= screen_w && Y + HEIGHT >= screen_h)) && ID=$id
}

# The client area of window ID in shot S, as STEP lays it out: dark blue to
# its edges, framed by something else. Sets CX CY CW CH.
check_client() {
  local s=$1 id=$2 what=$4 cw ch l
  read -r _ _ cw ch < <(driver_rect "$3" client)
  driver_place "$id"
  l=$(((WIDTH - cw) / 2))
  CX=$((X + l)) CY=$((Y + HEIGHT - ch - l)) CW=$cw CH=$ch
  # shellcheck disable=SC2086
  check "$what: dark blue client area of ${cw}x${ch}" test \
    "$(count "$s" $CX $CY $cw 1 $dark_blue)" -eq $cw -a "$(count "$s" $CX $((CY + ch - 1)) $cw 1 $dark_blue)" -eq $cw -a \
    "$(count "$s" $CX $CY 1 $ch $dark_blue)" -eq $ch -a "$(count "$s" $((CX + cw - 1)) $CY 1 $ch $dark_blue)" -eq $ch -a \
    "$(count "$s" $((CX - 1)) $CY 1 $ch $dark_blue)" -eq 0 -a "$(count "$s" $((CX + cw)) $CY 1 $ch $dark_blue)" -eq 0 -a \
    "$(count "$s" $CX $((CY + ch)) $cw 1 $dark_blue)" -eq 0
}
# That and the controls: orange text, all of it inside the labels' box; a
# shown button covering its rectangle; a hidden one's rectangle dark blue but
# where a shown one lies.
check_window() {
  check_client "$@"
  local s=$1 step=$3 what=$4 n b inside state caption x y w h shown=() buttons
  read -r x y w h < <(awk -v s="$step" '$1 == s && $2 ~ /^(Label|lbl)/ {
      if (!n++ || $3 < l) l = $3; if (n == 1 || $4 < t) t = $4
      if ($3 + $5 > r) r = $3 + $5; if ($4 + $6 > d) d = $4 + $6 }
    END {print l, t, r - l, d - t}' <<<"$DRIVER_LAYOUT")
  n=$(count "$s" $CX $CY $CW $CH $orange)
  # shellcheck disable=SC2086
  b=$(bbox "$s" $((CX + x)) $((CY + y)) $w $h $orange) inside=$(count "$s" $((CX + x)) $((CY + y)) $w $h $orange)
  check "$what: $n orange text pixels, $inside in the labels ($b)" test "$n" -gt 150 -a "$n" -eq "$inside"
  buttons=$(awk -v s="$step" '$1 == s && $2 ~ /^Command/ {print $7, $9, $3, $4, $5, $6}' <<<"$DRIVER_LAYOUT" | sort -r)
  while read -r state caption x y w h; do  # the shown ones first
    if [[ $state == shown ]]; then
      expect_eq "$what: $caption shown: dark blue pixels inside" 0 \
        "$(count "$s" $((CX + x + 3)) $((CY + y + 3)) $((w - 6)) $((h - 6)) $dark_blue)"
      shown+=(--except "$((CX + x)),$((CY + y)),$w,$h")
    else
      expect_eq "$what: $caption hidden: pixels not dark blue outside the shown buttons" 0 \
        "$("$probe" "$DRIVER_SCREENS/$s.png" countnot $((CX + x)) $((CY + y)) $w $h $dark_blue 0 "${shown[@]}")"
    fi
  done <<<"$buttons"
}
button_painted() {  # the closing button's face no longer black
  [[ $(import -window root -crop "1x1+$((end_x + 4))+$((end_y + 4))" -depth 8 txt:- 2>/dev/null) != *'#000000'* ]]
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }

run_a() {
  ra=${RUN_NAME:-A ($version)}
  local label=${RUN_LABEL:-$shots}
  echo "=== Run $ra: from D:\\, accepting everything, Windows $version, ${screen_w}x$screen_h"
  check "wine reports Windows $version" wine_report_windows "$version"
  driver_screens "$work/shots/$label"
  ln -sfn "$cd" "$WINEPREFIX/dosdevices/d:"
  driver_start "$work/run-$label.log" "$WINE" 'D:\START.EXE'
  seen=""
  WALK_WIDTH=([offer]="" [waiting]="" [closing]=$screen_w)  # the others' once the offer is measured
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
  [[ $seen != *closing* ]] || driver_expect_exit "$ra: program's exit status"
  # A test's START.EXE has the stubs add what they were handed on.
  check "$ra: the two setups started with exactly their quoted paths" cmp -s <(cut -f1,2 "$STUB_LOG") \
    <(printf 'Acrobat Reader Setup\t"D:\\Acrobat\\Setup.exe"\nMirelund Setup\t"D:\\Data\\Subset.exe"\n')
  [[ -n ${RUN_HANDED_ON:-} ]] || check "$ra: the stubs noted nothing more" test "$(cut -f3- "$STUB_LOG")" = ""
}

# Each stub's current folder its starter's, and the DLL directory it was
# handed on the default, as from Explorer ("TITLE CMD FOLDER STARTERS DLLDIR").
handed_on_as_from_explorer() {
  awk -F'\t' 'NF != 5 || $3 != $4 || $5 != "(default)" { bad = 1 } END { exit bad || NR != 2 }' "$STUB_LOG"
}

# Run A's checks of each window the walk comes to: STEP ID.
a_window() {
  local s=$WALK_SHOT id=$2 what="$ra ${1/-/ }" now form
  now=$(date +%s%N)
  seen+=" $1"
  form=$(walk_field accept "$1" form)
  [[ $form == @(-|frmAcrobat|frmOption) ]] || driver_shot "$s" "$id"  # the rest later or not
  case $1 in
    offer)
      pass "$ra: welcome screen and offer shown"
      driver_place "$(driver_find_window "$DRIVER_WELCOME_TITLE" "$screen_w")"
      check "$ra: welcome screen covers the screen from 0,0" test "$X,$Y" = "0,0"
      # Image2's single-line border, its left and top edges but their ends.
      check "$ra: framed inset's border" test "$(count "$s" $inset_x $((inset_y + 16)) 1 $((inset_h - 32)) 0 0 0)" \
        -eq $((inset_h - 32)) -a "$(count "$s" $((inset_x + 16)) $inset_y $((inset_w - 32)) 1 0 0 0)" -eq $((inset_w - 32))
      check_window "$s" "$id" offer "$what"
      driver_frame_widths "$id"
      offer_x=$X offer_y=$Y
      [[ -z ${RUN_ACCESS_CLIENT:-} ]] || read_offer "$ra"
      driver_key "$id" Return
      accepted=$(date +%s%N) ;;
    *-setup)
      local name=${1%-setup}
      name=${name/acrobat/Acrobat Reader}
      wait_until 40 maximized "$1" || { fail "$ra: $name setup window maximized"; return; }
      id=$ID
      pass "$ra: $name setup started, its window maximized"
      driver_shot "$s" "$id"
      [[ $1 == acrobat-setup ]] || return 0
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
      local waited=$(((now - accepted) / 1000000)) wait_ms=$((WALK_WAIT_SECONDS * 1000))
      check "$ra: manual notice after the $WALK_WAIT_SECONDS s wait (${waited} ms)" \
        test $waited -ge $((wait_ms - 500)) -a $waited -lt $((wait_ms + 20000))
      check_window "$s" "$id" "$1" "$what"
      check "$ra: manual notice at the offer's place" test "$X,$Y" = "$offer_x,$offer_y" ;;
    closing)
      xdotool mousemove 5 5
      wait_until 60 button_painted || true  # a loaded machine paints 8K late
      driver_shot "$s" "$id"
      driver_place "$id"
      check "$ra: closing screen covers the screen from 0,0" test "$X,$Y" = "0,0"
      # The button's face lies inside its edges, at most 3 pixels in.
      local face fx fy fx1 fy1 changed
      face=$("$probe" "$DRIVER_SCREENS/$s.png" at $((end_x + 4)) $((end_y + 4)))
      # shellcheck disable=SC2086
      read -r fx fy fx1 fy1 <<<"$(bbox "$s" $((end_x - 33)) $((end_y - 33)) $((screen_w - end_x + 33)) \
        $((screen_h - end_y + 33)) $face)"
      check "$ra: closing button at $end_x,$end_y, ${end_w}x$end_h (face at $fx,$fy to $fx1,$fy1)" test \
        $((fx - end_x)) -ge 0 -a $((fx - end_x)) -le 3 -a $((fy - end_y)) -ge 0 -a $((fy - end_y)) -le 3 -a \
        $((end_x + end_w - 1 - fx1)) -ge 0 -a $((end_x + end_w - 1 - fx1)) -le 3 -a \
        $((end_y + end_h - 1 - fy1)) -ge 0 -a $((end_y + end_h - 1 - fy1)) -le 3
      xdotool mousemove $((end_x + end_w / 2)) $((end_y + end_h / 2))
      sleep 2
      # The shot after the walk's last.
      local tip
      tip=$(printf '%02d-closing-tooltip' $(($(walk_rows accept | wc -l) + 1)))
      driver_shot "$tip" "$id"
      changed=$("$probe" "$DRIVER_SCREENS/$tip.png" diff "$DRIVER_SCREENS/$s.png" \
        $((screen_w - 324)) $((screen_h - 168)) 324 168)
      check "$ra: tooltip shown over the button ($changed pixels changed)" test "$changed" -gt 300
      xdotool click 1 ;;
    *) [[ $form == frmAcrobat ]] || check_window "$s" "$id" "$1" "$what" ;;
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
  driver_screens "$work/shots/b"
  driver_start "$work/run-b.log" env LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 \
    "$WINE" 'C:\Program Files\Mirelund CD\START.EXE'
  local -A width=([closing]=$screen_w) limit=([offer]=40 [game-setup]=40) answer=()
  # The offer's frame is wine's: any width, the others' once it is measured;
  # the hook clicks the sound notice's OK.
  WALK_WIDTH=([offer]="") WALK_LIMIT=() WALK_ANSWER=([sound-notice]="") WALK_HOOK=b_window
  driver_walk refuse || fail "B: the refusing walk stopped at the $WALK_STOPPED"
  [[ $WALK_STOPPED ]] || driver_expect_exit "B: program's exit status"
  check "B: only the game setup started, quoted, C:\\Program.exe not" cmp -s "$STUB_LOG" \
    <(printf 'Mirelund Setup\t"C:\\Program Files\\Mirelund CD\\Data\\Subset.exe"\n')
}

# Run B's checks of each window the walk comes to: STEP ID.
b_window() {
  local s=$WALK_SHOT id=$2 ox oy cx cy differ x y
  case $1 in
    offer)
      driver_frame_widths "$id"
      b_offer=$id
      sleep 1 ;;
    confirm)
      driver_shot "$s" "$id"
      check_window "$s" "$id" confirm "B confirm"
      driver_place "$b_offer"
      ox=$((X + WIDTH / 2)) oy=$((Y + HEIGHT / 2))
      driver_place "$id"
      cx=$((X + WIDTH / 2)) cy=$((Y + HEIGHT / 2))
      check "B: confirm centred on the offer ($cx,$cy / $ox,$oy)" near "$cx,$cy" "$ox,$oy" 1 ;;
    manual-notice) check "B: offer closed with the confirmed refusal" driver_wait_gone "$b_offer" ;;
    game-question) pass "B: Alt+F4 closes the manual notice" ;;  # else the walk stops
    game-setup) wait_until 40 maximized "$1" || true ;;
    sound-notice)
      driver_shot "$s" "$id"
      check_client "$s" "$id" sound-notice "B sound notice"
      # The same text at the same place as in run A, under code page 1252.
      differ=$("$probe" "$DRIVER_SCREENS/$s.png" diff "$work/shots/a-$version/$(walk_field accept sound-notice shot).png" $CX $CY $CW $CH)
      check "B: sound notice as under code page 1252 (${differ:-no} pixels differ)" test "${differ:-1}" -eq 0
      read -r x y < <(driver_button sound-notice OK)
      xdotool mousemove $((CX + x)) $((CY + y)) click 1 ;;
    closing) pass "B: mouse click on OK closes the sound notice" ;;  # else the walk stops
  esac
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
# comctl32, which START.EXE loads by name through its manifest, is planted
# too. START.EXE's preloads where the search cannot be narrowed.
preloaded="uxtheme msimg32 dwmapi userenv setupapi apphelp propsys cryptbase clbcatq ntmarta version imm32"
planted_names=(comctl32 dwmapi userenv propsys apphelp cryptbase oleacc winmm msimg32 setupapi clbcatq ntmarta
  cryptsp sspicli secur32 profapi wtsapi32 winsta netapi32 mpr textshaping usp10 dbghelp shfolder)

# The canary under every planted name in FOLDER, preferred by wine there,
# noting its loads in LOG: FOLDER CANARY LOG.
plant_canaries() {
  local n
  for n in "${planted_names[@]}"; do cp "$2" "$1/$n.dll"; done
  export MIRELUND_CANARY_LOG="Z:${3//\//\\}"
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;$(IFS=,; echo "${planted_names[*]}")=n,b"
  export WINEDLLOVERRIDES
}

run_p() {
  local canary=$extra careless=$7 client=$8 start=${9:-} planted=$work/planted-cd${9:+-xp} n loaded missing=()
  local canary_log=$work/canaries${9:+-xp}.log branch=${9:+, START.EXE on the branch of XP}
  echo "=== Run P: ${#planted_names[@]} canary DLLs beside START.EXE, loaded native-first$branch"
  rm -rf "$planted"
  mkdir -p "$planted"
  cp -r "$cd/." "$planted/"
  [[ -z $start ]] || cp "$start" "$planted/START.EXE"
  plant_canaries "$planted" "$canary" "$canary_log"
  cp "$careless" "$planted/canary_probe.exe"
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
  RUN_NAME="P (planted DLLs, $version$branch)" RUN_LABEL=p${start:+-xp} RUN_ACCESS_CLIENT=$client \
    RUN_HANDED_ON=$start cd=$planted run_a
  loaded=$(cut -f1 "$canary_log" | sort -u | tr '\n' ' ')
  check "P: no canary loaded through the whole sequence (${loaded:-none})" test ! -s "$canary_log"
  [[ -z $start ]] || check "P: each setup handed the default DLL search and its starter's folder" \
    handed_on_as_from_explorer

  echo "=== Run P: START.EXE.local beside it"
  : >"$planted/START.EXE.local"
  driver_start "$work/run-p-local.log" "$WINE" 'D:\START.EXE'
  local box
  if box=$(driver_wait_window START "" 40); then
    driver_shot 10-local-refused "$box"
    pass "P: with START.EXE.local the standard error message comes up"
    driver_key "$box" Return
    driver_expect_exit "P: and the program's exit status" 1
  else
    fail "P: with START.EXE.local, no error message"
  fi
  check "P: nor then a canary loaded" test ! -s "$canary_log"
}

# A manifest that makes comctl32, and the window classes it registers, the
# program's own, from beside it: on XP it would win over START.EXE's own.
planted_manifest() {  # FILE
  local arch=x86
  [[ $version != winxp64 ]] || arch=amd64
  cat >"$1" <<MANIFEST
<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="Planted" version="1.0.0.0" processorArchitecture="$arch"/>
  <file name="comctl32.dll"><windowClass>Button</windowClass><windowClass>Static</windowClass></file>
</assembly>
MANIFEST
}

# The standard error comes up (its text read from the box), is answered,
# and the program ends with status 1: WHAT TITLE LOG.
refused() {
  local box
  if ! box=$(driver_wait_window "$2" "" 40); then
    fail "$1: no error message"
    return
  fi
  driver_shot "refused-$((++refusals))" "$box"
  pass "$1: the standard error message comes up"
  driver_key "$box" Return
  driver_expect_exit "$1: and the program's exit status" 1
}

refusals=0
run_m() {
  local canary=$extra refusal=$7 planted=$work/manifest-cd canary_log=$work/canaries-m.log loaded
  echo "=== Run M: START.EXE.manifest beside START.EXE, naming a canary comctl32 beside it"
  rm -rf "$planted"
  mkdir -p "$planted"
  cp -r "$cd/." "$planted/"
  cp "$canary" "$planted/comctl32.dll"
  planted_manifest "$planted/START.EXE.manifest"
  cp "$refusal" "$planted/refusal_probe.exe"
  export MIRELUND_CANARY_LOG="Z:${canary_log//\//\\}"
  export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;comctl32=n,b"
  ln -sfn "$planted" "$WINEPREFIX/dosdevices/d:"
  driver_screens "$work/shots/m"

  : >"$canary_log"
  driver_start "$work/run-m-probe-careless.log" "$WINE" 'D:\refusal_probe.exe' --careless 'D:\START.EXE.manifest'
  wait_until 20 test -s "$canary_log" || true
  driver_stop
  check "M: a message box under the planted manifest loads its canary (the control)" \
    grep -qi '^D:\\comctl32\.dll' "$canary_log"
  : >"$canary_log"
  driver_start "$work/run-m-probe.log" "$WINE" 'D:\refusal_probe.exe' 'D:\START.EXE.manifest'
  refused "M: refusing under the planted manifest's context" refusal_probe
  check "M: and no canary loaded (the refusal's own context)" test ! -s "$canary_log"
  rm -f "$planted/refusal_probe.exe"

  : >"$canary_log"
  driver_start "$work/run-m-$version.log" "$WINE" 'D:\START.EXE'
  refused "M: START.EXE beside START.EXE.manifest, Windows $version" START
  check "M: no canary loaded (Windows $version)" test ! -s "$canary_log"

  local side='HKLM\Software\Microsoft\Windows\CurrentVersion\SideBySide'
  check "wine reports Windows 10" wine_report_windows win10
  "$WINE" reg add "$side" /v PreferExternalManifest /t REG_DWORD /d 1 /f </dev/null >/dev/null 2>&1
  : >"$canary_log"
  driver_start "$work/run-m-win10.log" "$WINE" 'D:\START.EXE'
  refused "M: START.EXE beside START.EXE.manifest, Windows 10 preferring external manifests" START
  loaded=$(cut -f1 "$canary_log" | sort -u | tr '\n' ' ')
  check "M: no canary loaded (Windows 10, ${loaded:-none})" test ! -s "$canary_log"
  "$WINE" reg delete "$side" /v PreferExternalManifest /f </dev/null >/dev/null 2>&1
  check "wine reports Windows $version again" wine_report_windows "$version"
}

# The shell's starts, as the test's START.EXE noted them ("VERB FILE PARAMS
# FOLDER SHOW OWNER"): "open", each setup's plain path, nothing more, shown
# maximized, owned by the welcome window.
shell_started_both() {
  printf 'open\tD:\\Acrobat\\Setup.exe\t-\t-\t3\t%s\nopen\tD:\\Data\\Subset.exe\t-\t-\t3\t%s\n' \
    "${DRIVER_WELCOME_TITLE//\\/}" "${DRIVER_WELCOME_TITLE//\\/}" | cmp -s - "$shell_log"
}

run_e() {
  local start=$extra canary=$7 elevated=$work/elevation-cd canary_log=$work/canaries-e.log loaded
  shell_log=$work/shell-starts.log
  echo "=== Run E: every start refused for elevation, so started by the shell; the canaries planted"
  rm -rf "$elevated"
  mkdir -p "$elevated"
  cp -r "$cd/." "$elevated/"
  cp "$start" "$elevated/START.EXE"
  plant_canaries "$elevated" "$canary" "$canary_log"
  : >"$shell_log" && : >"$canary_log"
  export MIRELUND_SHELL_LOG="Z:${shell_log//\//\\}"
  RUN_NAME="E (elevation, $version)" RUN_LABEL=e RUN_HANDED_ON=1 cd=$elevated run_a
  loaded=$(cut -f1 "$canary_log" | sort -u | tr '\n' ' ')
  check "E: no canary loaded, the shell's start on the branch of XP included (${loaded:-none})" test ! -s "$canary_log"
  check "E: both setups started by the shell, their plain paths, maximized, owned by the welcome window" \
    shell_started_both
  [[ -s $shell_log ]] && sed 's/^/  shell: /' "$shell_log"
  check "E: each setup in its starter's folder, handed the default DLL search" handed_on_as_from_explorer
  sed 's/^/  noted: /' "$STUB_LOG"
}

case $run in
  a | big) run_a ;;
  b) run_b ;;
  p) run_p "$@" ;;
  m) run_m "$@" ;;
  e) run_e "$@" ;;
  *) echo "launcher_runs.sh: a, big, b, p, m or e, not $run" >&2; exit 2 ;;
esac
