#!/usr/bin/env bash
# The disc image BUILD/mirelund.iso as a user gets it, one case a test:
#   image_test.sh mount|unmount BUILD   the image mounted read-only on
#     BUILD/image-test/disc: by the kernel where it can, else with fuseiso
#   image_test.sh layout BUILD    its label, name trees and files (unmounted)
#   image_test.sh files BUILD     the mounted disc's files and what they need
#   image_test.sh manual BUILD    MANUAL.PDF opens and looks like the game
#   image_test.sh windows BUILD   D:\START.EXE from the mounted image, D: a
#     CD-ROM drive, walking the accept path under wine. Where wine cannot
#     run 32-bit programs: a test image of the same layout with the x86_64
#     START.EXE and setups of build-win64/ (built here where missing).
#   image_test.sh linux BUILD     the disc's autorun, walking the accept path
# Each run on an Xvfb of its own; screenshots stay in BUILD/image-test/shots/.
case=$1
build=$(realpath "$2")
root=$(cd "$(dirname "$0")/../.." && pwd)
iso=$build/mirelund.iso
work=$build/image-test
mnt=$work/disc
shots=$work/shots
probe=$build/tests/pngprobe
# shellcheck source=../harness/launcher-driver.sh
source "$root/tests/harness/launcher-driver.sh"
# shellcheck source=../../tools/wine32/runs-32bit.sh
source "$root/tools/wine32/runs-32bit.sh"
# shellcheck source=../harness/wine-env.sh
source "$root/tests/harness/wine-env.sh"
mkdir -p "$work" "$shots"

# The names Windows sees on the disc; the launcher's accessibility module
# lies beside it where the build made one.
expected_names() {
  local module=()
  [[ -f $build/setup/libmirelund-atk.so ]] && module=(/libmirelund-atk.so)
  printf '%s\n' /AUTORUN.INF /Acrobat /Acrobat/Setup.exe /Data /Data/Subset.exe /MANUAL.PDF \
    /START.EXE /autorun /start "${module[@]}" | sort
}
# Mounts with every descriptor away from CTest's pipes: a FUSE mount's
# process outlives this test.
mount_quietly() {  # mount_quietly ISO DIR
  driver_mount_image "$1" "$2" </dev/null >/dev/null 2>"$work/mount.log" || { cat "$work/mount.log"; return 1; }
}
mounted() {
  mountpoint -q "$mnt" || die "the image is not mounted on $mnt (the mount fixture, image_mount, did not run or failed)"
}

case_mount() {
  driver_unmount_image "$mnt" 2>/dev/null || true
  mount_quietly "$iso" "$mnt" || die "mounting $iso"
  [[ $DRIVER_MOUNT_KIND != loop ]] || pass "$iso mounted by the kernel on $mnt: mount -o loop,ro, iso9660"
  [[ $DRIVER_MOUNT_KIND == loop ]] || pass "$iso mounted with fuseiso (FUSE) on $mnt: this kernel cannot mount the image itself"
}

case_unmount() {
  check "the image unmounted from $mnt" driver_unmount_image "$mnt"
}

case_layout() {
  local info joliet
  info=$(isoinfo -d -i "$iso" 2>&1)
  check "volume label MIRELUND" grep -qx 'Volume id: MIRELUND' <<<"$info"
  check "Joliet names" grep -q '^Joliet with UCS level' <<<"$info"
  check "Rock Ridge names and modes" grep -q '^Rock Ridge signatures' <<<"$info"
  joliet=$(isoinfo -J -f -i "$iso" 2>/dev/null | sort)
  check "Windows sees exactly the disc's files under their names" test "$joliet" = "$(expected_names)"
}

case_files() {
  mounted
  check "the mounted disc is read-only" bash -c "! touch '$mnt/written' 2>/dev/null"
  check "AUTORUN.INF: open, icon and label, CRLF line ends" cmp -s "$mnt/AUTORUN.INF" \
    <(printf '[autorun]\r\nopen=START.EXE\r\nicon=START.EXE,0\r\nlabel=Mirelund\r\n')
  check "both setups are Windows programs" bash -c "file -b '$mnt/Acrobat/Setup.exe' | grep -q '^PE32' &&
    file -b '$mnt/Data/Subset.exe' | grep -q '^PE32'"
  check "autorun and start are executable on the disc" test -x "$mnt/autorun" -a -x "$mnt/start"
  check "autorun starts the launcher from the disc's root" grep -q '^exec ./start' "$mnt/autorun"

  # The Linux launcher needs only what every X11 desktop has.
  local allowed needed foreign glibc readme_glibc
  allowed='libX11|libXext|libXft|libXrender|libXinerama|libXrandr|libXcursor|libXfixes|libfontconfig|libc|libm|ld-linux-x86-64'
  needed=$(readelf -d "$mnt/start" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p')
  foreign=$(grep -vxE "($allowed)\\.so\\.[0-9.]+" <<<"$needed" || true)
  check "the launcher needs only X11, fontconfig/Xft and the C library (${needed//$'\n'/ })" \
    test -n "$needed" -a -z "$foreign"
  [[ -z $foreign ]] || echo "  not allowed: ${foreign//$'\n'/ }"
  glibc=$(objdump -T "$mnt/start" | grep -o 'GLIBC_[0-9.]*' | sed 's/GLIBC_//' | sort -uV | tail -n1)
  readme_glibc=$(sed -n 's/.*needs glibc \([0-9.]*\) or later.*/\1/p' "$root/docs/disc.md" | head -n1)
  check "the launcher needs glibc $glibc, as docs/disc.md says ($readme_glibc)" \
    test -n "$readme_glibc" -a "$(printf '%s\n%s\n' "$glibc" "$readme_glibc" | sort -V | tail -n1)" = "$readme_glibc"
}

case_manual() {
  mounted
  local pdf pages text first page pw ph blue orange
  pdf=$(pdfinfo "$mnt/MANUAL.PDF" 2>&1)
  pages=$(sed -n 's/^Pages: *//p' <<<"$pdf")
  check "MANUAL.PDF opens: ${pages:-no} pages, A4" bash -c "[[ '${pages:-0}' -ge 3 ]] && grep -q 'Page size:.*(A4)' <<<'$pdf'"
  text=$(pdftotext -layout "$mnt/MANUAL.PDF" - 2>/dev/null)
  check "MANUAL.PDF: installation and the sound set-up with CONFIG.EXE" bash -c \
    "grep -q 'Installation' <<<\"\$1\" && grep -q 'Sound einrichten' <<<\"\$1\" && grep -q 'CONFIG.EXE' <<<\"\$1\" &&
     grep -q 'Acrobat.Setup.exe' <<<\"\$1\"" _ "$text"
  rm -f "$shots"/manual-*.png
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
}

case_windows() {
  mounted
  local no_wine32 win_mnt=$mnt id accepted
  no_wine32=$(why_no_wine32)
  if [[ -z $no_wine32 ]]; then
    wine_env "$work/prefix" "$(wine32_loader)"
    echo "wine runs 32-bit programs here ($(wine32_where "$WINE")): the image's own START.EXE and setups run under wine"
  else
    wine_env "$work/prefix" /usr/lib/wine/wine64
    echo "wine cannot run 32-bit programs here ($no_wine32): the Windows run uses a test image of the same layout with the" \
      "x86_64 START.EXE and setups (build-win64/)"
    local win64=$root/build-win64 win_iso=$work/mirelund-x86_64.iso
    win_mnt=$work/disc-x86_64
    driver_unmount_image "$win_mnt" 2>/dev/null || true
    if { [[ -f $win64/CMakeCache.txt ]] ||
         cmake -S "$root" -B "$win64" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-x86_64.cmake" >/dev/null; } &&
       cmake --build "$win64" -j"$(nproc)" --target democd >"$work/build-win64.log" 2>&1 &&
       bash "$root/tools/disc/make-image.sh" "$win_iso" "$win64/cd" "$build/setup/start" "$mnt/MANUAL.PDF" &&
       mount_quietly "$win_iso" "$win_mnt"; then
      at_exit "driver_unmount_image '$win_mnt'"
      check "the test image has the disc's layout" test "$(isoinfo -J -f -i "$win_iso" | sort)" = "$(expected_names)"
      check "its START.EXE is the x86_64 build" bash -c "file -b '$win_mnt/START.EXE' | grep -q 'x86-64'"
    else
      die "the x86_64 test image (see $work/build-win64.log)"
    fi
  fi
  start_xvfb
  echo "=== Windows: D:\\START.EXE, D: the mounted image as a CD-ROM drive, display $DISPLAY"
  rm -rf "$WINEPREFIX"
  wine_make_prefix "$work/wineboot.log" || die "the wine prefix (see $work/wineboot.log)"
  at_exit "'$WINESERVER' -k"
  # Wine learns its drives' kinds when its server starts.
  "$WINE" reg add 'HKLM\Software\Wine\Drives' /v 'd:' /t REG_SZ /d cdrom /f </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w
  rm -f "$WINEPREFIX/dosdevices/d:" "$WINEPREFIX/dosdevices/d::"
  ln -s "$win_mnt" "$WINEPREFIX/dosdevices/d:"
  check "D: is declared a CD-ROM drive" grep -qi '^"d:"="cdrom"' "$WINEPREFIX/system.reg"

  wine_stub_log "$work/stubs-windows.log"
  driver_screens "$shots/windows"
  driver_start "$work/windows.log" "$WINE" 'D:\START.EXE'
  WALK_WIDTH=([offer]="" [manual-notice]="") WALK_LIMIT=([offer]=60 [manual-notice]=40)
  WALK_ANSWER=([offer]="" [manual-notice]="driver_key Return" [game-setup]="" [sound-notice]="driver_key Return"
    [closing]="driver_key Return")
  WALK_HOOK=windows_window
  if driver_walk_accept; then
    driver_expect_exit "Windows: status after \"&Ende\""
  else
    fail "Windows: the accept walk stopped at the $WALK_STOPPED (see $work/windows.log)"
  fi
  check "Windows: the Acrobat Reader setup's window shown" \
    test -f "$DRIVER_SCREENS/$(walk_field accept acrobat-setup shot).png"
  check "Windows: the game setup's window shown" test -f "$DRIVER_SCREENS/$(walk_field accept game-setup shot).png"
  check "Windows: the setups started as \"D:\\Acrobat\\Setup.exe\" and \"D:\\Data\\Subset.exe\"" \
    cmp -s "$STUB_LOG" <(printf 'Acrobat Reader Setup\t"D:\\Acrobat\\Setup.exe"\nMirelund Setup\t"D:\\Data\\Subset.exe"\n')
  [[ ! -s $STUB_LOG ]] || sed 's/^/  noted: /' "$STUB_LOG"
}

windows_window() {  # the walk's hook: STEP ID
  case $1 in
    offer)
      pass "Windows: welcome screen and offer from D:\\START.EXE"
      driver_walk_shot "$@"
      driver_key "$2" Return
      driver_wait_gone "$2"
      accepted=$SECONDS ;;
    manual-notice)
      check "Windows: manual notice after the wait ($((SECONDS - accepted)) s)" test $((SECONDS - accepted)) -ge 19
      driver_walk_shot "$@" ;;
    waiting | sound-notice) ;;
    *) driver_walk_shot "$@" ;;
  esac
}

case_linux() {
  mounted
  local no_wine32 linux_path=$PATH record=$work/wine-calls.log walked=0
  no_wine32=$(why_no_wine32)
  wine_stub_log "$work/stubs-linux.log"
  : >"$record"
  if [[ -n $no_wine32 ]]; then
    # The setups are 32-bit Windows programs that nothing here can run: a
    # recording wine first in PATH shows what the launcher asked to run.
    echo "The setups cannot run here ($no_wine32): a recording wine notes what the launcher starts"
    mkdir -p "$work/bin"
    printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s"\n' "$record" >"$work/bin/wine"
    chmod +x "$work/bin/wine"
    linux_path=$work/bin:$PATH
  else
    # The launcher asks for "wine" by name.
    wine_env "$work/prefix-linux" "$(wine32_loader)"
    linux_path=${WINE%/*}:$PATH
    rm -rf "$WINEPREFIX"
    wine_make_prefix "$work/wineboot-linux.log" || die "the wine prefix (see $work/wineboot-linux.log)"
    at_exit "'$WINESERVER' -k"
  fi
  start_xvfb
  echo "=== Linux: autorun from the mounted image, display $DISPLAY"
  driver_screens "$shots/linux"
  PATH=$linux_path driver_launch "$mnt" ./autorun
  driver_walk_accept || walked=$?
  check "Linux: accept path walked from the disc's autorun" test $walked -eq 0
  [[ $walked -ne 0 ]] || driver_expect_exit "Linux: status after \"&Ende\""
  if [[ -n $no_wine32 ]]; then
    check "Linux: wine asked to run the disc's Acrobat\\Setup.exe, then Data\\Subset.exe" \
      test "$(cat "$record")" = "$(printf '%s\n' "$mnt/Acrobat/Setup.exe" "$mnt/Data/Subset.exe")"
    sed 's/^/  wine /' "$record"
  else
    check "Linux: wine ran the disc's Acrobat Reader setup, then the game's" bash -c \
      "cut -f1 '$STUB_LOG' | paste -sd, | grep -qx 'Acrobat Reader Setup,Mirelund Setup' &&
       grep -qi 'Acrobat.Setup\\.exe' '$STUB_LOG' && grep -qi 'Data.Subset\\.exe' '$STUB_LOG'"
    sed 's/^/  noted: /' "$STUB_LOG"
  fi
}

case $case in
  mount | unmount | layout | files | manual | windows | linux) "case_$case" ;;
  *) echo "image_test.sh: unknown case $case" >&2; exit 2 ;;
esac
