#!/usr/bin/env bash
# Lays out the disc and writes its image: ISO 9660 with Joliet names for
# Windows and Rock Ridge names and modes for Linux, volume label MIRELUND.
#   make-image.sh OUT.iso WINDOWS_CD_DIR LINUX_LAUNCHER MANUAL.PDF
# WINDOWS_CD_DIR is a Windows build's demo CD: START.EXE, AUTORUN.INF and the
# setups Acrobat/Setup.exe and Data/Subset.exe. The Linux launcher goes into
# the root as `start`, beside the freedesktop autostart file `autorun`, and
# its accessibility module beside it where the build made one.
set -euo pipefail
out=$1 wincd=$2 launcher=$3 manual=$4
here=$(cd "$(dirname "$0")" && pwd)

stage=$(mktemp -d)
trap 'rm -rf "$stage" "$stage.log"' EXIT
mkdir -p "$stage/Acrobat" "$stage/Data"
for f in START.EXE AUTORUN.INF Acrobat/Setup.exe Data/Subset.exe; do
  [[ -f $wincd/$f ]] || { echo "make-image.sh: $wincd/$f missing" >&2; exit 1; }
  cp "$wincd/$f" "$stage/$f"
done
strip --strip-debug -o "$stage/start" "$launcher"
module="$(dirname "$launcher")/libmirelund-atk.so"
if [[ -f $module ]]; then strip --strip-debug -o "$stage/libmirelund-atk.so" "$module"; fi
cp "$here/cd/autorun" "$stage/autorun"
cp "$manual" "$stage/MANUAL.PDF"
chmod 0755 "$stage/start" "$stage/autorun"

# -r: Rock Ridge with modes made sensible for a disc (everything readable,
# the programs executable, owned by root).
if ! xorriso -as mkisofs -quiet -V MIRELUND -J -joliet-long -r -o "$out.part" "$stage" 2>"$stage.log"; then
  cat "$stage.log" >&2
  rm -f "$stage.log" "$out.part"
  exit 1
fi
rm -f "$stage.log"
mv "$out.part" "$out"
