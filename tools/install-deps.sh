#!/usr/bin/env bash
# Installs what building, running and testing the launcher need on Debian 12.
# Idempotent: asks apt only for packages that are missing.
#   tools/install-deps.sh          build + run (Linux)
#   tools/install-deps.sh --tests  also the test and benchmark tools, and the Windows cross builds with
#                                  wine: i686 with wine32, and x86_64 with wine64 for kernels that
#                                  refuse 32-bit programs
set -euo pipefail

# The disc image: the cross compiler for START.EXE, cairo for the manual,
# xorriso to write it, fuseiso to mount it where the kernel cannot; the X11
# libraries that the statically linked FLTK leaves to the system.
want=(cmake g++ make pkg-config libfltk1.3-dev libjpeg62-turbo-dev libfreetype-dev libstb-dev
      libx11-dev libxext-dev libxft-dev libfontconfig-dev libxrender-dev libxinerama-dev libxcursor-dev libxfixes-dev
      fonts-liberation xvfb xdotool imagemagick x11-utils xauth util-linux
      g++-mingw-w64-i686 libcairo2-dev xorriso fuseiso)
# Window managers for the runs under real desktops, without their recommends
# (which would bring whole desktops); xfwm4 and metacity need a session bus.
bare=()
if [[ "${1:-}" == "--tests" ]]; then
  want+=(googletest libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev valgrind
         g++-mingw-w64-x86-64 wine wine32 wine64
         genisoimage poppler-utils file binutils)
  bare+=(openbox xfwm4 metacity blackbox fluxbox dbus-daemon)
fi

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }
missing=() missing_bare=()
for p in "${want[@]}"; do installed "$p" || missing+=("$p"); done
for p in "${bare[@]}"; do installed "$p" || missing_bare+=("$p"); done
[[ ${#missing[@]} -eq 0 && ${#missing_bare[@]} -eq 0 ]] && exit 0

if printf '%s\n' "${missing[@]}" | grep -q '^wine32$'; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]} ${missing_bare[*]}"
$sudo apt-get update -qq
if [[ ${#missing[@]} -gt 0 ]]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
if [[ ${#missing_bare[@]} -gt 0 ]]; then
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing_bare[@]}" >/dev/null
fi
