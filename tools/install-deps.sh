#!/usr/bin/env bash
# Installs what building, running and testing the launcher need on Debian 12.
# Idempotent: asks apt only for packages that are missing.
#   tools/install-deps.sh          build + run (Linux)
#   tools/install-deps.sh --tests  also the test and benchmark tools, and the Windows cross build with wine
set -euo pipefail

want=(cmake g++ make pkg-config libfltk1.3-dev libjpeg62-turbo-dev libfreetype-dev libstb-dev
      fonts-liberation xvfb xdotool imagemagick x11-utils xauth util-linux)
# Window managers for the runs under real desktops, without their recommends
# (which would bring whole desktops); xfwm4 and metacity need a session bus.
bare=()
if [[ "${1:-}" == "--tests" ]]; then
  want+=(googletest libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev valgrind g++-mingw-w64-i686 wine wine32)
  bare+=(openbox xfwm4 metacity blackbox dbus-daemon)
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
