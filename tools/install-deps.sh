#!/usr/bin/env bash
# Installs what building, running and testing the launcher need on Debian 12.
# Idempotent: asks apt only for packages that are missing.
#   tools/install-deps.sh          build + run (Linux)
#   tools/install-deps.sh --tests  also the test and benchmark tools, the window managers (GNOME's
#                                  and KDE's among them), and the Windows cross builds with
#                                  wine: x86_64 with wine64 everywhere,
#                                  and i686 with wine32 where the kernel runs 32-bit programs
#   tools/install-deps.sh --tests --wine32-root-in-background
#                                  the same, but a root of its own for wine32, where one
#                                  is needed, is made in the background
#                                  (tools/wine32/wine32-root.sh wait waits for it)
#
# A package mirror can be out of step for hours: an index that fails to
# download is tried again a few times and then left out, and the packages are
# installed in groups that cannot take each other down. Only a needed package
# that cannot be installed fails the script, and it is named. wine32 is
# wanted, not needed: without it the Windows tests take the 64-bit path.
# Nothing that was installed may go: the script fails, naming them, where a
# package was removed or downgraded while it ran.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=tools/wine32/runs-32bit.sh
source "$here/wine32/runs-32bit.sh"

# The disc image: the cross compiler for START.EXE, cairo for the manual,
# xorriso to write it, fuseiso to mount it where the kernel cannot; the X11
# libraries that the statically linked FLTK leaves to the system; ATK and its
# AT-SPI bridge for the launcher's accessibility module.
build=(cmake g++ make pkg-config libfltk1.3-dev libjpeg62-turbo-dev libfreetype-dev libstb-dev
       libx11-dev libxext-dev libxft-dev libfontconfig-dev libxrender-dev libxinerama-dev libxrandr-dev libxcursor-dev libxfixes-dev
       fonts-liberation xvfb xdotool imagemagick x11-utils xauth util-linux
       g++-mingw-w64-i686 libcairo2-dev xorriso fuseiso
       libatk1.0-dev libatk-bridge2.0-dev)
tests=() wms=() desktops=() wine=() wine32=() orca=()
if [[ "${1:-}" == "--tests" ]]; then
  tests=(googletest libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev valgrind
         genisoimage poppler-utils file binutils libxml2-utils xserver-xephyr
         dbus at-spi2-core python3-gi gir1.2-atspi-2.0 osslsigncode openssl softhsm2 libengine-pkcs11-openssl)
  # The screen reader the AT-SPI tests listen with; that test is skipped,
  # saying so, where it cannot be had.
  orca=(orca)
  # Window managers for the runs under real desktops, without their
  # recommends (which would bring whole desktops); xfwm4 and metacity need a
  # session bus.
  wms=(openbox xfwm4 metacity blackbox fluxbox pekwm dbus-daemon)
  # GNOME's and KDE's managers, on X11 and as Wayland compositors with
  # XWayland, in a group of their own: KWin alone brings about 145 packages
  # (35 MB), which must not keep the small managers out. mutter's settings
  # are made with the GLib tools; both draw with Mesa.
  desktops=(mutter kwin-x11 kwin-wayland kwin-style-breeze xwayland libglib2.0-bin libgl1-mesa-dri)
  wine=(g++-mingw-w64-x86-64 wine wine64)
  if kernel_runs_32bit; then
    wine32=(wine32)
  else
    echo "install-deps: this kernel refuses 32-bit programs: wine32 is not wanted here"
  fi
fi

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

package_set() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture} ${Version}\n' | awk '$1 == "ii" { print $2, $3 }'; }
before_set=$(package_set)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing_of() {  # missing_of PACKAGE...: those not installed
  local p
  for p in "$@"; do installed "$p" || echo "$p"; done
}

updated=0
update() {  # once a run; a failed or partial update is tried again, then left as it is
  [[ $updated -eq 1 ]] && return 0
  updated=1
  local try
  for try in 1 2 3; do
    if $sudo apt-get update -qq >/tmp/install-deps-update.log 2>&1 &&
       ! grep -q '^[WE]: Failed to fetch\|^E: ' /tmp/install-deps-update.log; then
      return 0
    fi
    [[ $try -lt 3 ]] && sleep "${INSTALL_DEPS_RETRY_PAUSE:-10}"
  done
  echo "install-deps: apt-get update failed 3 times; going on with the package indexes apt has:"
  grep '^[WE]:' /tmp/install-deps-update.log | sed 's/^/  /' | head -n 6
}

unmet=()
install_group() {  # install_group NAME NEEDED|WANTED APT-OPTION... -- PACKAGE...
  local name=$1 need=$2
  shift 2
  local opts=()
  while [[ $1 != -- ]]; do opts+=("$1"); shift; done
  shift
  local missing
  mapfile -t missing < <(missing_of "$@")
  [[ ${#missing[@]} -eq 0 ]] && return 0
  update
  echo "install-deps: installing ($name): ${missing[*]}"
  $sudo apt-get install -y -qq "${opts[@]}" "${missing[@]}" >/tmp/install-deps-$name.log 2>&1 && return 0
  # One that cannot be installed must not keep the others out: each on its own.
  local p failed=()
  for p in "${missing[@]}"; do
    installed "$p" || $sudo apt-get install -y -qq "${opts[@]}" "$p" >>/tmp/install-deps-$name.log 2>&1 ||
      failed+=("$p")
  done
  [[ ${#failed[@]} -eq 0 ]] && return 0
  if [[ $need == NEEDED ]]; then
    echo "install-deps: cannot install ($name): ${failed[*]} (see /tmp/install-deps-$name.log)"
    unmet+=("${failed[@]}")
  else
    echo "install-deps: cannot install ($name): ${failed[*]}; going on without it"
  fi
  return 1
}

install_group build NEEDED -- "${build[@]}"
[[ ${#tests[@]} -gt 0 ]] && install_group tests NEEDED -- "${tests[@]}"
[[ ${#wms[@]} -gt 0 ]] && install_group window-managers NEEDED --no-install-recommends -- "${wms[@]}"
[[ ${#desktops[@]} -gt 0 ]] && install_group desktops NEEDED --no-install-recommends -- "${desktops[@]}"
[[ ${#orca[@]} -gt 0 ]] && install_group orca WANTED --no-install-recommends -- "${orca[@]}"
[[ ${#wine[@]} -gt 0 ]] && install_group wine64 NEEDED -- "${wine[@]}"

# wine32 on the host only where apt can install it with nothing removed or
# downgraded: its i386 libraries must have the versions of their amd64
# twins, and where the amd64 ones came from security updates whose i386
# index fails to download, apt would make them match by taking the desktop
# apart. Decided by asking apt (a simulation), since which packages are hit
# differs from machine to machine and month to month.
wine32_fits_host() {
  local added=0 sim status line p old new
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386 && added=1
    updated=0
  fi
  update
  sim=$(LC_ALL=C apt-get install -s -y "${wine32[@]}" 2>&1)
  status=$?
  wine32_conflicts=$(grep -c '^Remv ' <<<"$sim")
  # "Inst NAME [INSTALLED] (CANDIDATE ...": a candidate below the installed version is a downgrade.
  while read -r line; do
    read -r _ p old new _ <<<"$line"
    old=${old#[} old=${old%]} new=${new#(}
    dpkg --compare-versions "$new" lt "$old" && wine32_conflicts=$((wine32_conflicts + 1))
  done < <(grep '^Inst [^ ]* \[' <<<"$sim")
  [[ $status -eq 0 && $wine32_conflicts -eq 0 ]] && return 0
  [[ $status -ne 0 ]] && wine32_conflicts="apt finds no way ($(grep -m1 '^E: ' <<<"$sim" | cut -c4-))"
  # Leave the host as it was: no i386 index to fail every later update.
  if [[ $added -eq 1 ]] && ! dpkg-query -W -f='${Architecture}\n' | grep -qx i386; then
    $sudo dpkg --remove-architecture i386
  fi
  return 1
}

if [[ ${#wine32[@]} -gt 0 ]] && [[ -n $(missing_of "${wine32[@]}") ]]; then
  if "$here/wine32/wine32-root.sh" works; then
    echo "install-deps: wine32 is in its own root (tools/wine32/wine32-root.sh)"
  elif wine32_fits_host; then
    install_group wine32 WANTED -- "${wine32[@]}"
  else
    case $wine32_conflicts in
      [0-9]*) why="apt would remove or downgrade $wine32_conflicts installed packages to match its i386 libraries" ;;
      *) why=$wine32_conflicts ;;
    esac
    echo "install-deps: wine32 in a root of its own (release suite, amd64 + i386), the host left as it is: on the host $why"
    if install_group wine32-root WANTED -- mmdebstrap; then
      if [[ ${2:-} == --wine32-root-in-background ]]; then
        "$here/wine32/wine32-root.sh" start
      else
        "$here/wine32/wine32-root.sh" make || echo "install-deps: no root for wine32; going on without it"
      fi
    fi
  fi
fi

after_set=$(package_set)
gone=$(LC_ALL=C join -v1 <(LC_ALL=C sort <<<"$before_set") <(LC_ALL=C sort <<<"$after_set") | awk '{ print $1 }')
lowered=$(LC_ALL=C join <(LC_ALL=C sort <<<"$before_set") <(LC_ALL=C sort <<<"$after_set") |
  while read -r p old new; do dpkg --compare-versions "$new" lt "$old" && echo "$p ($old -> $new)"; done)
if [[ -n $gone || -n $lowered ]]; then
  echo "install-deps: FAILED: installing took away what was there:"
  [[ -n $gone ]] && echo "  removed: $(echo $gone)"
  [[ -n $lowered ]] && echo "  downgraded: $(echo $lowered)"
  exit 1
fi

if [[ ${#unmet[@]} -gt 0 ]]; then
  echo "install-deps: FAILED: needed packages could not be installed: ${unmet[*]}"
  exit 1
fi
exit 0
