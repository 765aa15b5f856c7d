#!/usr/bin/env bash
# Installs what building, running and testing the launcher need on Debian 12.
# Idempotent: asks apt only for packages that are missing.
#   tools/install-deps.sh          build + run (Linux)
#   tools/install-deps.sh --tests  also the test and benchmark tools, and the Windows cross builds with
#                                  wine: i686 with wine32, and x86_64 with wine64 for kernels that
#                                  refuse 32-bit programs
set -euo pipefail

want=(cmake g++ make pkg-config libfltk1.3-dev libxrender-dev libjpeg62-turbo-dev libfreetype-dev libstb-dev
      fonts-liberation xvfb xdotool imagemagick x11-utils xauth util-linux)
if [[ "${1:-}" == "--tests" ]]; then
  want+=(googletest libgtest-dev libgmock-dev libbenchmark-dev libxtst-dev valgrind
        g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32 wine64)
fi

sudo=""
[[ $(id -u) -ne 0 ]] && sudo="sudo"

missing=()
for p in "${want[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

if printf '%s\n' "${missing[@]}" | grep -q '^wine32$'; then
  dpkg --print-foreign-architectures | grep -qx i386 || $sudo dpkg --add-architecture i386
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
