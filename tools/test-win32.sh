#!/usr/bin/env bash
# The Windows build under wine. Cross-builds the 32-bit demo CD into
# build-win32/ (or, where that cannot run here, takes the disc image's own
# from build/win32/) and checks START.EXE as a file (PE32, GUI, system DLLs only,
# icon, version, manifest, AUTORUN.INF beside it), and that Windows XP SP3
# can load it: every import against XP's exports (tests/win32/winxp-exports/),
# the PE header's Windows version, and the manifest to XP's strict parser.
# Then, on the build that this machine can run, it runs the unit tests (logic,
# pictures, the Win32 backend and its rules) and the whole launcher, on a
# display of its own, driven by xdotool: from the demo CD as drive D:
# accepting everything (run A, with the real 20 s wait), and from
# "C:\Program Files\Mirelund CD" refusing Acrobat Reader (run B, where a
# C:\Program.exe waits for an unquoted start). Wine reports Windows XP for
# the unit tests and runs A and B, then 7 and 10 for run A once each (wine
# exports the newer functions whatever it reports, so these runs check
# behaviour; the import check checks what XP has). It checks the stub setups'
# records, screenshots at pixel level, and the exit status.
#
# Which build runs is decided by trying: where wine32 runs, the i686 build
# under wine32, as shipped; where the kernel refuses 32-bit programs or
# wine32 is missing, an x86_64 build (build-win64/) under the 64-bit wine
# loader, since Debian's wine64 cannot run 32-bit programs on its own.
#
# Installs nothing (tools/install-deps.sh --tests does); makes a fresh wine
# prefix and its own Xvfb, and removes both when done. Screenshots stay in
# wine-test/shots/ of the build that ran. Ends with "N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-win32
# shellcheck source=tools/test-helpers.sh
source "$root/tools/test-helpers.sh"
# shellcheck source=tools/launcher-driver.sh
source "$root/tools/launcher-driver.sh"
# shellcheck source=tools/runs-32bit.sh
source "$root/tools/runs-32bit.sh"
cross_build() {  # cross_build DIR TOOLCHAIN [TARGET...]
  local dir=$1 toolchain=$2
  shift 2
  echo "=== Cross build ($(basename "$dir")/${*:+: $*})"
  if cmake -S "$root" -B "$dir" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$toolchain" >/dev/null &&
     cmake --build "$dir" -j"$(nproc)" ${*:+--target "$@"}; then
    pass "cross build $(basename "$dir")"
  else
    fail "cross build $(basename "$dir")"
    summary
    exit 1
  fi
}
system_dlls_only() {  # system_dlls_only OBJDUMP EXE
  "$1" -p "$2" | awk '/DLL Name/ {print toupper($3)}' |
    grep -qvxE 'KERNEL32.DLL|USER32.DLL|GDI32.DLL|COMCTL32.DLL|SHELL32.DLL|OLE32.DLL|OLEACC.DLL|OLEAUT32.DLL|MSVCRT.DLL' && return 1
  return 0
}

# --- Which wine can run here ------------------------------------------------

# Decided by trying: wine32 runs; the kernel refuses 32-bit programs; or
# the kernel runs them but wine32 is missing or does not start.
no_wine32=$(why_no_wine32)
if [[ -z $no_wine32 ]]; then
  echo "=== 32-bit programs run here and so does wine32: the i686 build runs under wine32"
  run=$build
  wine=wine
  wineserver=wineserver
  winxp=winxp
  export WINEARCH=win32
else
  echo "=== ${no_wine32^}: START.EXE (i686) is checked as a file; its tests and launcher runs use the x86_64 build under wine64"
  run=$root/build-win64
  wine=/usr/lib/wine/wine64
  wineserver=/usr/lib/wine/wineserver64
  winxp=winxp64  # a 64-bit prefix knows no 32-bit XP
  export WINEARCH=win64 WINELOADER=$wine WINESERVER=$wineserver
fi
work=$run/wine-test
shots=$work/shots

# --- Build and check the CD's START.EXE -------------------------------------

# Where nothing of it can run, the CD is all the i686 build has to give:
# the disc image's own cross build (build/win32/) where the Linux build has
# one, brought up to date, rather than a second build of the same.
if [[ $run == "$build" ]]; then
  cross_build "$build" mingw-i686.cmake
elif [[ -d $root/build/win32 ]] && cmake --build "$root/build" --target win32_cd >/dev/null 2>&1; then
  build=$root/build/win32
  echo "=== START.EXE (i686) as on the disc image: build/win32/"
  pass "cross build win32 (the disc image's)"
else
  cross_build "$build" mingw-i686.cmake democd
fi
start_exe=$build/cd/START.EXE
check "START.EXE needs system DLLs only" system_dlls_only i686-w64-mingw32-objdump "$start_exe"
check "START.EXE is a 32-bit GUI program" bash -c "
  i686-w64-mingw32-objdump -f '$start_exe' | grep -q 'pei-i386' &&
  i686-w64-mingw32-objdump -p '$start_exe' | grep -q 'Subsystem.*Windows GUI'"
check "START.EXE carries icon, version and manifest" bash -c "
  res=\$(i686-w64-mingw32-windres -i '$start_exe' -O rc 2>/dev/null)
  grep -q 'RT_GROUP_ICON' <<<\"\$res\" && grep -q 'OriginalFilename' <<<\"\$res\" &&
  grep -q 'RT_MANIFEST' <<<\"\$res\""
check "START.EXE imports only what Windows XP SP3 exports, and asks for no newer Windows" \
  "$root/tests/win32/xp_imports.sh" i686-w64-mingw32-objdump "$start_exe"
check "START.EXE carries a manifest that Windows XP SP3 parses" \
  "$root/tests/win32/xp_manifest.sh" "$root/runtime/win32/start.manifest" x86 i686-w64-mingw32-objcopy "$start_exe"
check "AUTORUN.INF with CRLF line ends" cmp -s "$build/cd/AUTORUN.INF" \
  <(printf '[autorun]\r\nopen=START.EXE\r\nicon=START.EXE,0\r\nlabel=Mirelund\r\n')
if [[ $run != "$build" ]]; then
  cross_build "$run" mingw-x86_64.cmake
  check "START.EXE (x86_64) needs system DLLs only" system_dlls_only x86_64-w64-mingw32-objdump "$run/cd/START.EXE"
  check "START.EXE (x86_64) is a 64-bit GUI program" bash -c "
    x86_64-w64-mingw32-objdump -f '$run/cd/START.EXE' | grep -q 'pei-x86-64' &&
    x86_64-w64-mingw32-objdump -p '$run/cd/START.EXE' | grep -q 'Subsystem.*Windows GUI'"
fi
probe=$run/probe
if ! g++ -std=c++20 -O2 -isystem /usr/include/stb "$root/tools/win32_e2e/probe.cpp" -o "$probe"; then
  fail "screenshot probe build"
  summary
  exit 1
fi

# --- A display and a wine prefix of our own ---------------------------------

rm -rf "$work"
mkdir -p "$shots"
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
xvfb_pid=""
cleanup() {
  "$wineserver" -k >/dev/null 2>&1 || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -dpi 96 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
for _ in $(seq 50); do [[ -s $work/display ]] && break; sleep 0.1; done
if [[ ! -s $work/display ]]; then
  fail "Xvfb start"
  summary
  exit 1
fi
export DISPLAY=:$(head -n1 "$work/display")
echo "=== wine prefix ($WINEARCH) and display $DISPLAY"
"$wine" wineboot -i >"$work/wineboot.log" 2>&1
"$wineserver" -w
# No window manager here: wine places, maximizes and focuses its windows
# itself, and draws their frames.
"$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
"$wineserver" -w

reported=""
report_windows() {  # report_windows VERSION: what wine tells programs from now on
  [[ $reported == "$1" ]] && return 0
  reported=$1
  local want
  case $1 in
    winxp) want=5.1 ;; winxp64) want=5.2 ;; win7) want=6.1 ;; win10) want=10.0 ;;
  esac
  "$wine" winecfg /v "$1" >/dev/null 2>&1
  "$wineserver" -w
  local ver
  ver=$("$wine" cmd /c ver 2>/dev/null | tr -d '\r' | grep -o '[0-9]*\.[0-9]*\.[0-9]*' | head -n1)
  check "wine reports Windows $1 ($ver)" test "${ver%.*}" = "$want"
}
report_windows "$winxp"  # for the unit tests too

# --- Unit tests under wine --------------------------------------------------

run_gtest() {  # run_gtest NAME EXE [ARGS]: counts the tests of one binary
  local name=$1 exe=$2
  shift 2
  local out=$work/$name.log
  if [[ ! -f $exe ]]; then
    fail "$name: $exe missing"
    return
  fi
  (cd "$(dirname "$exe")" && timeout 300 "$wine" "$exe" "$@") >"$out" 2>&1
  local status=$?
  # A client that connects while the previous run's wineserver shuts down is
  # refused ("wine client error"); that is the harness, not the test: once more.
  if [[ $status -ne 0 ]] && grep -q '^wine client error' "$out" && ! grep -q '^\[==========\]' "$out"; then
    "$wineserver" -w
    (cd "$(dirname "$exe")" && timeout 300 "$wine" "$exe" "$@") >"$out" 2>&1
    status=$?
  fi
  local ok bad
  ok=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) tests\?\..*/\1/p' "$out" | tail -n1)
  bad=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) tests\?, listed below.*/\1/p' "$out" | tail -n1)
  ok=${ok:-0}
  bad=${bad:-0}
  passed=$((passed + ok))
  failed=$((failed + bad))
  grep -E '^\[  FAILED  \] [A-Za-z]' "$out" | sed 's/ (.*//' | sort -u | sed 's/^\[  FAILED  \]/FAIL/'
  if [[ $status -ne 0 && $bad -eq 0 ]]; then
    fail "$name ended with status $status (see $out)"
  fi
  echo "$name: $ok passed, $bad failed"
}

echo "=== Unit tests under wine"
run_gtest logic_tests "$run/tests/logic_tests.exe"
run_gtest picture_tests "$run/tests/picture_tests.exe"
run_gtest win32_rules_tests "$run/tests/win32_rules_tests.exe"
run_gtest win32_backend_tests "$run/tests/win32_backend_tests.exe"
run_gtest win32_access_tests "$run/tests/win32_access_tests.exe"
# Under a system code page other than 1252 (wine takes it from LANG): the
# texts must not change.
LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 run_gtest win32_backend_tests_cp1251 \
  "$run/tests/win32_backend_tests.exe" \
  '--gtest_filter=Encoding.*:InputTest.Typed*:ProgramFolder.*:ProgramStart.*:PaintTest.*:WindowsTest.Tooltip*:WindowsTest.Buttons*:WindowsTest.DialogHas*' \
  "--gtest_output=xml:Z:${work//\//\\}\\cp1251.xml"
check "the code page 1251 run had code page 1251" grep -q 'name="ansi_code_page" value="1251"' "$work/cp1251.xml"

# --- The launcher -----------------------------------------------------------

stub_log=$work/stubs.log
: >"$stub_log"
export MIRELUND_STUB_LOG="Z:${stub_log//\//\\}"
ln -sfn "$run/cd" "$WINEPREFIX/dosdevices/d:"

dark_blue="0 0 64"
orange="255 128 0"
program_pid=""

windows_named() {  # ids of the windows whose name matches, WxH or "maximized"
  local name=$1 size=$2 id
  for id in $(xdotool search --name "$name" 2>/dev/null); do
    eval "$(xdotool getwindowgeometry --shell "$id" 2>/dev/null)" || continue
    if [[ $size == maximized ]]; then
      [[ $X -le 0 && $Y -le 0 && $((X + WIDTH)) -ge 1024 && $((Y + HEIGHT)) -ge 768 ]] && echo "$id"
    elif [[ ${WIDTH}x${HEIGHT} == "$size" ]]; then
      echo "$id"
    fi
  done
}
wait_window() {  # wait_window NAME WxH [NOT_ID]: prints the id
  local name=$1 size=$2 not=${3:-} id
  for _ in $(seq 200); do
    for id in $(windows_named "$name" "$size"); do
      [[ $id != "$not" ]] && { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
wait_gone() {  # wait_gone ID
  for _ in $(seq 100); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    sleep 0.2
  done
  return 1
}
geometry() { eval "$(xdotool getwindowgeometry --shell "$1")"; }  # sets X Y WIDTH HEIGHT
press() {  # press WINDOW KEY...: the window gets the focus, then real key strokes
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
  shift
  xdotool key --clearmodifiers "$@"
}
shot() { sleep 0.7; import -window root "$shots/$1.png"; }
count() { "$probe" "$shots/$1.png" count "${@:2}"; }
bbox() { "$probe" "$shots/$1.png" bbox "${@:2}"; }
log_lines() { wc -l <"$stub_log"; }
wait_log() {  # wait_log N: until the stubs have noted N lines
  for _ in $(seq 100); do
    [[ $(log_lines) -ge $1 ]] && return 0
    sleep 0.2
  done
  return 1
}

# The client area of window ID (the definition's W x H pixels) in shot S:
# dark blue to its edges, framed by something else. Sets CX CY.
check_client() {
  local s=$1 id=$2 cw=$3 ch=$4 what=$5
  geometry "$id"
  local l=$(((WIDTH - cw) / 2))
  CX=$((X + l))
  CY=$((Y + HEIGHT - ch - l))
  CW=$cw
  CH=$ch
  local ok=1
  [[ $(count "$s" $CX $CY $cw 1 $dark_blue) -eq $cw ]] || ok=0
  [[ $(count "$s" $CX $((CY + ch - 1)) $cw 1 $dark_blue) -eq $cw ]] || ok=0
  [[ $(count "$s" $CX $CY 1 $ch $dark_blue) -eq $ch ]] || ok=0
  [[ $(count "$s" $((CX + cw - 1)) $CY 1 $ch $dark_blue) -eq $ch ]] || ok=0
  [[ $(count "$s" $((CX - 1)) $CY 1 $ch $dark_blue) -eq 0 ]] || ok=0
  [[ $(count "$s" $((CX + cw)) $CY 1 $ch $dark_blue) -eq 0 ]] || ok=0
  [[ $(count "$s" $CX $((CY + ch)) $cw 1 $dark_blue) -eq 0 ]] || ok=0
  if [[ $ok -eq 1 ]]; then pass "$what: dark blue client area of ${cw}x${ch}"; else fail "$what: client area"; fi
}
# Orange text, and all of it inside the labels' box (client coordinates).
check_text() {
  local s=$1 lx=$2 ly=$3 lw=$4 lh=$5 what=$6 n b
  n=$(count "$s" $CX $CY $CW $CH $orange)
  b=$(bbox "$s" $((CX + lx)) $((CY + ly)) $lw $lh $orange)
  local inside
  inside=$(count "$s" $((CX + lx)) $((CY + ly)) $lw $lh $orange)
  if [[ $n -gt 150 && $n -eq $inside ]]; then pass "$what: $n orange text pixels, all in the labels ($b)"
  else fail "$what: orange text ($n pixels, $inside in the labels)"; fi
}
# A visible button covers its rectangle; a hidden one leaves the dark blue.
check_button() {
  local s=$1 bx=$2 by=$3 bw=$4 bh=$5 what=$6 blue
  blue=$(count "$s" $((CX + bx + 3)) $((CY + by + 3)) $((bw - 6)) $((bh - 6)) $dark_blue)
  if [[ $blue -eq 0 ]]; then pass "$what shown"; else fail "$what shown ($blue dark blue pixels inside)"; fi
}
check_hidden() {  # the part of a hidden button's rectangle no other button covers
  local s=$1 bx=$2 by=$3 bw=$4 bh=$5 what=$6 blue
  blue=$(count "$s" $((CX + bx)) $((CY + by)) $bw $bh $dark_blue)
  if [[ $blue -eq $((bw * bh)) ]]; then pass "$what hidden"; else fail "$what hidden ($blue of $((bw * bh)))"; fi
}
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo 0; }
check_exit() {
  DRIVER_LAUNCHER_PID=$program_pid
  driver_wait_exit
  if [[ $DRIVER_EXIT_STATUS == 0 ]]; then pass "$1: program ended with status 0"; else fail "$1: exit status $DRIVER_EXIT_STATUS"; fi
  kill "$program_pid" 2>/dev/null
}

# Pixel sizes below are the definitions' twips at 15 twips per pixel.
offer_size=377x197 notice_size=281x165 box_size=284x151
a="Acrobat Reader Installation"
n="Mirelund  Installation"

# Run A under the Windows version wine reports (VERSION); its shots go to
# shots/a-VERSION/.
run_a() {  # run_a VERSION
  local ra="A ($1)"
  echo "=== Run A: from D:\\, accepting everything, Windows $1"
  report_windows "$1"
  shots=$work/shots/a-$1
  mkdir -p "$shots"
  : >"$stub_log"
  "$wine" 'D:\START.EXE' >"$work/run-a-$1.log" 2>&1 &
  program_pid=$!
  if welcome=$(wait_window "Willkommen zur Mirelund" 1024x768) && offer=$(wait_window "$a" $offer_size); then
    pass "$ra: welcome screen and offer shown"
    shot 01-offer
    geometry "$welcome"
    check "$ra: welcome screen covers the screen from 0,0" test "$X,$Y" = "0,0"
    # Image2's single-line border, 360 twips from the top left.
    check "$ra: framed inset's border" test "$(count 01-offer 24 40 1 400 0 0 0)" -eq 400 -a \
      "$(count 01-offer 40 24 300 1 0 0 0)" -eq 300
    check_client 01-offer "$offer" 371 172 "$ra offer"
    geometry "$offer"
    offer_x=$X offer_y=$Y
    check_text 01-offer 144 16 233 105 "$ra offer"
    check_button 01-offer 264 136 65 25 "$ra offer: Ja"
    check_button 01-offer 176 136 65 25 "$ra offer: Nine"

    press "$offer" Return
    accepted=$(date +%s%N)
    if stub=$(wait_window "Acrobat Reader Setup" maximized); then
      pass "$ra: Acrobat Reader setup started, its window maximized"
      shot 02-acrobat-setup
    else
      fail "$ra: Acrobat Reader setup window"
    fi
    check "$ra: Acrobat Reader setup noted" wait_log 1
    sleep 4
    ticks0=$(cpu_ticks "$program_pid")
    sleep 8
    ticks1=$(cpu_ticks "$program_pid")
    # Eight seconds of the wait: well under a fifth of a core.
    check "$ra: the wait burns no core ($((ticks1 - ticks0)) ticks in 8 s)" \
      bash -c "tr '\\0' ' ' </proc/$program_pid/cmdline | grep -q 'START.EXE' && test $((ticks1 - ticks0)) -lt 160"

    if notice=$(wait_window "$a" $notice_size); then
      waited=$((($(date +%s%N) - accepted) / 1000000))
      check "$ra: manual notice after the 20 s wait (${waited} ms)" test $waited -ge 19500 -a $waited -lt 40000
      shot 03-manual-notice
      check_client 03-manual-notice "$notice" 275 140 "$ra manual notice"
      geometry "$notice"
      check "$ra: manual notice at the offer's place" test "$X,$Y" = "$offer_x,$offer_y"
      check_text 03-manual-notice 16 8 249 81 "$ra manual notice"
      check_button 03-manual-notice 104 104 65 25 "$ra manual notice: OK"
      check_hidden 03-manual-notice 56 104 48 25 "$ra manual notice: Nine"
      check_hidden 03-manual-notice 169 104 56 25 "$ra manual notice: Ja"
      press "$notice" space
    else
      fail "$ra: manual notice"
    fi

    if game=$(wait_window "$n" $box_size); then
      shot 04-game-question
      check_client 04-game-question "$game" 278 126 "$ra game question"
      check_text 04-game-question 8 16 265 73 "$ra game question"
      check_button 04-game-question 160 88 81 25 "$ra game question: Ja"
      check_button 04-game-question 40 88 81 25 "$ra game question: Nine"
      check_hidden 04-game-question 121 88 39 25 "$ra game question: OK"
      press "$game" alt+j
    else
      fail "$ra: game question"
    fi
    if stub=$(wait_window "Mirelund Setup" maximized); then
      pass "$ra: game setup started, its window maximized"
      shot 05-game-setup
      wait_gone "$stub"
    else
      fail "$ra: game setup window"
    fi
    check "$ra: game setup noted" wait_log 2
    if sound=$(wait_window "$n" $box_size "$game"); then
      shot 06-sound-notice
      check_client 06-sound-notice "$sound" 278 126 "$ra sound notice"
      check_text 06-sound-notice 8 16 265 73 "$ra sound notice"
      check_button 06-sound-notice 104 88 81 25 "$ra sound notice: OK"
      check_hidden 06-sound-notice 40 88 64 25 "$ra sound notice: Nine"
      check_hidden 06-sound-notice 185 88 56 25 "$ra sound notice: Ja"
      press "$sound" Return
    else
      fail "$ra: sound notice"
    fi

    if closing=$(wait_window "Range of our products" 1024x768); then
      xdotool mousemove 5 5
      shot 07-closing
      geometry "$closing"
      check "$ra: closing screen covers the screen from 0,0" test "$X,$Y" = "0,0"
      # The button is 81 x 25, 30 pixels from the bottom right corner. Its face
      # lies inside its edges, at most 3 pixels in.
      face=$("$probe" "$shots/07-closing.png" pixel 917 717)
      read -r fx fy fw fh <<<"$(bbox 07-closing 880 680 144 88 $face)"
      right=$((1024 - fx - fw)) bottom=$((768 - fy - fh))
      check "$ra: closing button 30 px from the corner (face at $fx,$fy ${fw}x$fh)" test \
        $fx -ge 913 -a $fx -le 916 -a $fy -ge 713 -a $fy -le 716 -a $right -ge 30 -a $right -le 33 -a \
        $bottom -ge 30 -a $bottom -le 33
      xdotool mousemove 953 725
      sleep 2
      shot 08-closing-tooltip
      changed=$("$probe" "$shots/08-closing-tooltip.png" diff "$shots/07-closing.png" 700 600 324 168)
      check "$ra: tooltip shown over the button ($changed pixels changed)" test "$changed" -gt 300
      xdotool click 1
      check_exit "$ra"
    else
      fail "$ra: closing screen"
    fi
  else
    fail "$ra: welcome screen and offer"
  fi
  printf 'Acrobat Reader Setup\t"D:\\Acrobat\\Setup.exe"\nMirelund Setup\t"D:\\Data\\Subset.exe"\n' >"$work/expected-a.log"
  check "$ra: the two setups started with exactly their quoted paths" cmp -s "$stub_log" "$work/expected-a.log"
  [[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
  "$wineserver" -w
}
run_a "$winxp"

echo "=== Run B: from C:\\Program Files\\Mirelund CD, refusing Acrobat Reader, code page 1251, Windows $winxp"
cd_b="$WINEPREFIX/drive_c/Program Files/Mirelund CD"
mkdir -p "$cd_b"
cp -r "$run/cd/." "$cd_b/"
# Where a launcher that put no separator after a folder that is not a root
# would look, and what an unquoted start would reach first: neither starts.
mkdir -p "$WINEPREFIX/drive_c/Program Files/Mirelund CDData"
cp "$run/cd/Data/Subset.exe" "$WINEPREFIX/drive_c/Program Files/Mirelund CDData/Subset.exe"
cp "$run/tests/Program.exe" "$WINEPREFIX/drive_c/Program.exe"
: >"$stub_log"
shots=$work/shots/b
mkdir -p "$shots"
LC_ALL=ru_RU.UTF-8 LANG=ru_RU.UTF-8 "$wine" 'C:\Program Files\Mirelund CD\START.EXE' >"$work/run-b.log" 2>&1 &
program_pid=$!
if offer=$(wait_window "$a" $offer_size); then
  sleep 1
  press "$offer" Escape
  if confirm=$(wait_window "$a" $notice_size); then
    shot 11-confirm
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
    press "$confirm" Tab Return
  else
    fail "B: confirm"
  fi
  check "B: offer closed with the confirmed refusal" wait_gone "$offer"
  if notice=$(wait_window "$a" $notice_size "$confirm"); then
    press "$notice" alt+F4
    check "B: Alt+F4 closes the manual notice" wait_gone "$notice"
  else
    fail "B: manual notice"
  fi
  if game=$(wait_window "$n" $box_size); then
    press "$game" alt+j
  else
    fail "B: game question"
  fi
  if stub=$(wait_window "Mirelund Setup" maximized); then wait_gone "$stub"; fi
  if sound=$(wait_window "$n" $box_size "$game"); then
    shot 12-sound-notice
    check_client 12-sound-notice "$sound" 278 126 "B sound notice"
    # The same text at the same place as in run A, under code page 1252.
    differ=$("$probe" "$shots/12-sound-notice.png" diff "$work/shots/a-$winxp/06-sound-notice.png" $CX $CY 278 126)
    check "B: sound notice as under code page 1252 ($differ pixels differ)" test "$differ" -eq 0
    xdotool mousemove $((CX + 144)) $((CY + 100)) click 1
    check "B: mouse click on OK closes the sound notice" wait_gone "$sound"
  else
    fail "B: sound notice"
  fi
  if closing=$(wait_window "Range of our products" 1024x768); then
    press "$closing" Return
    check_exit "B"
  else
    fail "B: closing screen"
  fi
else
  fail "B: offer"
fi
printf 'Mirelund Setup\t"C:\\Program Files\\Mirelund CD\\Data\\Subset.exe"\n' >"$work/expected-b.log"
check "B: only the game setup started, quoted, C:\\Program.exe not" cmp -s "$stub_log" "$work/expected-b.log"
[[ -n $program_pid ]] && kill "$program_pid" 2>/dev/null
"$wineserver" -w

run_a win7
run_a win10

summary
