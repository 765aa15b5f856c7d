#!/usr/bin/env bash
# The disc image build/mirelund.iso as a user gets it: its label, name trees,
# files and manual; then both launchers run from the image mounted read-only
# (by the kernel where it can, else with fuseiso), each walking the accept
# path on an Xvfb of its own, checked by the setups' records and the exit
# status. Where wine cannot run 32-bit programs, the Windows run uses a second
# image of the same layout with the x86_64 START.EXE and stub setups.
#
# Needs a built build/ (run-tests.sh builds it); builds build-win64/'s demo CD
# itself when it is needed. Installs nothing. Screenshots stay in
# build/image-test/shots/. Ends with "N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
iso=$build/mirelund.iso
work=$build/image-test
shots=$work/shots

# shellcheck source=tools/test-helpers.sh
source "$root/tools/test-helpers.sh"
# shellcheck source=tools/launcher-driver.sh
source "$root/tools/launcher-driver.sh"
# shellcheck source=tools/runs-32bit.sh
source "$root/tools/runs-32bit.sh"

probe=$build/tests/pngprobe
if [[ ! -f $iso || ! -x $probe ]]; then
  fail "$iso or $probe missing: build build/ first"
  summary
  exit 1
fi

rm -rf "$work"
mkdir -p "$shots"
mounts=()
wineserver_cmd=""
cleanup() {
  [[ -n ${DRIVER_LAUNCHER_PID:-} ]] && kill "$DRIVER_LAUNCHER_PID" 2>/dev/null
  [[ -n $wineserver_cmd ]] && "$wineserver_cmd" -k >/dev/null 2>&1
  [[ -n ${DRIVER_XVFB_PID:-} ]] && kill "$DRIVER_XVFB_PID" 2>/dev/null
  local m
  for m in "${mounts[@]}"; do driver_unmount_image "$m"; done
}
trap cleanup EXIT

# --- The image itself ---------------------------------------------------------

echo "=== The image: $iso"
info=$(isoinfo -d -i "$iso" 2>&1)
check "volume label MIRELUND" grep -qx 'Volume id: MIRELUND' <<<"$info"
check "Joliet names" grep -q '^Joliet with UCS level' <<<"$info"
check "Rock Ridge names and modes" grep -q '^Rock Ridge signatures' <<<"$info"
joliet=$(isoinfo -J -f -i "$iso" 2>/dev/null | sort)
# The launcher's accessibility module lies beside it where the build made one.
module=()
[[ -f $build/setup/libmirelund-atk.so ]] && module=(/libmirelund-atk.so)
expected_names=$(printf '%s\n' /AUTORUN.INF /Acrobat /Acrobat/Setup.exe /Data /Data/Subset.exe /MANUAL.PDF \
  /START.EXE /autorun /start "${module[@]}" | sort)
check "Windows sees exactly the disc's files under their names" test "$joliet" = "$expected_names"

mnt=$work/disc
if ! driver_mount_image "$iso" "$mnt"; then
  fail "mounting the image"
  summary
  exit 1
fi
mounts+=("$mnt")
if [[ $DRIVER_MOUNT_KIND == loop ]]; then
  echo "Mounted by the kernel: mount -o loop,ro, iso9660"
else
  echo "Mounted with fuseiso (FUSE): this kernel cannot mount the image itself"
fi
check "the mounted disc is read-only" bash -c "! touch '$mnt/written' 2>/dev/null"
check "AUTORUN.INF: open, icon and label, CRLF line ends" cmp -s "$mnt/AUTORUN.INF" \
  <(printf '[autorun]\r\nopen=START.EXE\r\nicon=START.EXE,0\r\nlabel=Mirelund\r\n')
check "START.EXE is a 32-bit Windows GUI program" bash -c "file -b '$mnt/START.EXE' | grep -q '^PE32 executable (GUI) Intel 80386'"
check "both setups are Windows programs" bash -c "file -b '$mnt/Acrobat/Setup.exe' | grep -q '^PE32' &&
  file -b '$mnt/Data/Subset.exe' | grep -q '^PE32'"
check "autorun and start are executable on the disc" test -x "$mnt/autorun" -a -x "$mnt/start"
check "autorun starts the launcher from the disc's root" grep -q '^exec ./start' "$mnt/autorun"

# The Linux launcher needs only what every X11 desktop has.
allowed='libX11|libXext|libXft|libXrender|libXinerama|libXcursor|libXfixes|libfontconfig|libc|libm|ld-linux-x86-64'
needed=$(readelf -d "$mnt/start" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
foreign=$(grep -vxE "($allowed)\\.so\\.[0-9.]+" <<<"$needed")
check "the launcher needs only X11, fontconfig/Xft and the C library (${needed//$'\n'/ })" \
  test -n "$needed" -a -z "$foreign"
[[ -n $foreign ]] && echo "  not allowed: ${foreign//$'\n'/ }"
glibc=$(objdump -T "$mnt/start" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n1)
readme_glibc=$(sed -n 's/.*needs glibc \([0-9.]*\) or later.*/\1/p' "$root/README.md" | head -n1)
check "the launcher needs glibc $glibc, as the README says ($readme_glibc)" \
  test -n "$readme_glibc" -a "$(printf '%s\n%s\n' "$glibc" "$readme_glibc" | sort -V | tail -n1)" = "$readme_glibc"

# The manual opens in a PDF reader, has its pages, and looks like the game.
pdf=$(pdfinfo "$mnt/MANUAL.PDF" 2>&1)
pages=$(sed -n 's/^Pages: *//p' <<<"$pdf")
check "MANUAL.PDF opens: ${pages:-no} pages, A4" bash -c "[[ '${pages:-0}' -ge 3 ]] && grep -q 'Page size:.*(A4)' <<<'$pdf'"
text=$(pdftotext -layout "$mnt/MANUAL.PDF" - 2>/dev/null)
check "MANUAL.PDF: installation and the sound set-up with CONFIG.EXE" bash -c \
  "grep -q 'Installation' <<<\"\$1\" && grep -q 'Sound einrichten' <<<\"\$1\" && grep -q 'CONFIG.EXE' <<<\"\$1\" &&
   grep -q 'Acrobat.Setup.exe' <<<\"\$1\"" _ "$text"
pdftoppm -r 40 -png "$mnt/MANUAL.PDF" "$shots/manual"
first=("$shots"/manual-*1.png)
page=${first[0]}
if [[ -f $page ]]; then
  read -r pw ph < <("$probe" "$page" size)
  blue=$("$probe" "$page" count 0 0 "$pw" "$ph" 0 0 64 6)
  orange=$("$probe" "$page" count 0 0 "$pw" "$ph" 255 128 0 40)
  check "the cover: dark blue page ($blue of $((pw * ph)) px), orange title ($orange px)" \
    test "$blue" -gt $((pw * ph / 3)) -a "$orange" -gt 200
else
  fail "MANUAL.PDF renders"
fi

# --- Where each launcher can run ---------------------------------------------

# Decided by trying, as test-win32.sh does: whether wine32's server starts.
no_wine32=$(why_no_wine32)
if [[ -z $no_wine32 ]]; then
  wine32=yes
  wine_cmd=wine
  wineserver_cmd=wineserver
  export WINEARCH=win32
  win_iso=$iso win_mnt=$mnt
  echo "wine runs 32-bit programs here: the image's own START.EXE and setups run under wine"
else
  wine32=no
  wine_cmd=/usr/lib/wine/wine64
  wineserver_cmd=/usr/lib/wine/wineserver64
  export WINEARCH=win64 WINELOADER=$wine_cmd WINESERVER=$wineserver_cmd
  echo "wine cannot run 32-bit programs here ($no_wine32): the Windows run uses a test image of the same layout with the" \
    "x86_64 START.EXE and setups (build-win64/)"
  win_iso=$work/mirelund-x86_64.iso win_mnt=$work/disc-x86_64
  win64=$root/build-win64
  if { [[ -f $win64/CMakeCache.txt ]] ||
       cmake -S "$root" -B "$win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null; } &&
     cmake --build "$win64" -j"$(nproc)" --target democd >"$work/build-win64.log" 2>&1 &&
     bash "$root/tools/make-image.sh" "$win_iso" "$win64/cd" "$build/setup/start" "$mnt/MANUAL.PDF" &&
     driver_mount_image "$win_iso" "$win_mnt"; then
    mounts+=("$win_mnt")
    check "the test image has the disc's layout" test "$(isoinfo -J -f -i "$win_iso" | sort)" = "$expected_names"
    check "its START.EXE is the x86_64 build" bash -c "file -b '$win_mnt/START.EXE' | grep -q 'x86-64'"
  else
    fail "the x86_64 test image (see $work/build-win64.log)"
    win_mnt=""
  fi
fi

driver_start_xvfb "$work" || { fail "Xvfb start"; summary; exit 1; }
echo "=== Display $DISPLAY"

export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
stub_log=$work/stubs.log
: >"$stub_log"
export MIRELUND_STUB_LOG="Z:${stub_log//\//\\}"

# The launcher ends by itself after "&Ende", with status 0.
wait_exit() {
  local what=$1 status
  driver_wait_exit
  status=$DRIVER_EXIT_STATUS
  check "$what: ended with status 0 after \"&Ende\" (status $status)" test "$status" = 0
  [[ $status == timeout ]] && kill "$DRIVER_LAUNCHER_PID" 2>/dev/null
  DRIVER_LAUNCHER_PID=""
}

# --- Windows: START.EXE from D:\, a CD-ROM drive ------------------------------

if [[ -n $win_mnt ]]; then
  echo "=== Windows: D:\\START.EXE, D: the mounted image as a CD-ROM drive"
  "$wine_cmd" wineboot -i >"$work/wineboot.log" 2>&1
  "$wineserver_cmd" -w
  "$wine_cmd" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  "$wine_cmd" reg add 'HKLM\Software\Wine\Drives' /v 'd:' /t REG_SZ /d cdrom /f >/dev/null 2>&1
  "$wineserver_cmd" -w
  rm -f "$WINEPREFIX/dosdevices/d:" "$WINEPREFIX/dosdevices/d::"
  ln -s "$win_mnt" "$WINEPREFIX/dosdevices/d:"
  check "D: is declared a CD-ROM drive" bash -c "grep -qi '^\"d:\"=\"cdrom\"' '$WINEPREFIX/system.reg'"

  export DRIVER_SCREENS=$shots/windows
  mkdir -p "$DRIVER_SCREENS"
  "$wine_cmd" 'D:\START.EXE' >"$work/windows.log" 2>&1 &
  DRIVER_LAUNCHER_PID=$!
  if id=$(driver_wait_window "$DRIVER_OFFER_TITLE" "" 60); then
    pass "Windows: welcome screen and offer from D:\\START.EXE"
    driver_shot 01-offer "$id"
    driver_key "$id" Return
    driver_wait_gone "$id"
    accepted=$SECONDS
    driver_stub "Acrobat Reader Setup" 02-acrobat-setup
    check "Windows: the Acrobat Reader setup's window shown" test -f "$DRIVER_SCREENS/02-acrobat-setup.png"
    if id=$(driver_wait_window "$DRIVER_OFFER_TITLE" "" 40); then
      check "Windows: manual notice after the wait ($((SECONDS - accepted)) s)" test $((SECONDS - accepted)) -ge 19
      driver_shot 03-manual-notice "$id"
      driver_key "$id" Return
      driver_wait_gone "$id"
    else
      fail "Windows: manual notice"
    fi
    if id=$(driver_wait_window "$DRIVER_NEWBOX_TITLE"); then
      driver_shot 04-game-question "$id"
      driver_key "$id" alt+j
      driver_wait_gone "$id"
    else
      fail "Windows: game question"
    fi
    driver_stub "Mirelund Setup" 05-game-setup
    check "Windows: the game setup's window shown" test -f "$DRIVER_SCREENS/05-game-setup.png"
    if id=$(driver_wait_window "$DRIVER_NEWBOX_TITLE"); then
      driver_key "$id" Return
      driver_wait_gone "$id"
    else
      fail "Windows: sound notice"
    fi
    if id=$(driver_wait_window "$DRIVER_CLOSING_TITLE"); then
      driver_shot 06-closing "$id"
      driver_key "$id" Return
    else
      fail "Windows: closing screen"
    fi
    wait_exit "Windows"
  else
    fail "Windows: START.EXE showed no offer (see $work/windows.log)"
  fi
  printf 'Acrobat Reader Setup\t"D:\\Acrobat\\Setup.exe"\nMirelund Setup\t"D:\\Data\\Subset.exe"\n' >"$work/expected.log"
  check "Windows: the setups started as \"D:\\Acrobat\\Setup.exe\" and \"D:\\Data\\Subset.exe\"" \
    cmp -s "$stub_log" "$work/expected.log"
  [[ -s $stub_log ]] && sed 's/^/  noted: /' "$stub_log"
  [[ -n ${DRIVER_LAUNCHER_PID:-} ]] && kill "$DRIVER_LAUNCHER_PID" 2>/dev/null
  DRIVER_LAUNCHER_PID=""
fi

# --- Linux: autorun from the mounted image ------------------------------------

echo "=== Linux: autorun from the mounted image"
: >"$stub_log"
record=$work/wine-calls.log
: >"$record"
if [[ $wine32 == no ]]; then
  # The setups are 32-bit Windows programs that nothing here can run: a
  # recording wine first in PATH shows what the launcher asked to run.
  echo "The setups cannot run here: a recording wine notes what the launcher starts"
  mkdir -p "$work/bin"
  printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$record" >"$work/bin/wine"
  chmod +x "$work/bin/wine"
  linux_path=$work/bin:$PATH
else
  linux_path=$PATH
fi
export DRIVER_SCREENS=$shots/linux
mkdir -p "$DRIVER_SCREENS"
PATH=$linux_path driver_launch "$mnt" ./autorun
walked=0
driver_walk_accept || walked=$?
check "Linux: accept path walked from the disc's autorun" test $walked -eq 0
if [[ $walked -eq 0 ]]; then
  wait_exit "Linux"
else
  kill "$DRIVER_LAUNCHER_PID" 2>/dev/null
  DRIVER_LAUNCHER_PID=""
fi
if [[ $wine32 == no ]]; then
  check "Linux: wine asked to run the disc's Acrobat\\Setup.exe, then Data\\Subset.exe" \
    test "$(cat "$record")" = "$(printf '%s\n' "$mnt/Acrobat/Setup.exe" "$mnt/Data/Subset.exe")"
  sed 's/^/  wine /' "$record"
else
  check "Linux: wine ran the disc's Acrobat Reader setup, then the game's" bash -c \
    "cut -f1 '$stub_log' | paste -sd, | grep -qx 'Acrobat Reader Setup,Mirelund Setup' &&
     grep -qi 'Acrobat.Setup\\.exe' '$stub_log' && grep -qi 'Data.Subset\\.exe' '$stub_log'"
  sed 's/^/  noted: /' "$stub_log"
fi

echo "Screenshots: $shots/"
summary
