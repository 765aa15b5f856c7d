#!/usr/bin/env bash
# Lays out the disc and writes its image: ISO 9660 with Joliet names for
# Windows and Rock Ridge names and modes for Linux, volume label MIRELUND.
#   make-image.sh OUT.iso WINDOWS_CD_DIR LINUX_LAUNCHER MANUAL.PDF [EPOCH]
# WINDOWS_CD_DIR is a Windows build's demo CD: START.EXE, AUTORUN.INF and the
# setups Acrobat/Setup.exe and Data/Subset.exe. The Linux launcher goes into
# the root as `start`, beside the freedesktop autostart file `autorun`, and
# its accessibility module beside it where the build made one.
# Every date in the image (the volume's, each file's) is EPOCH, in seconds
# since 1970 (default: SOURCE_DATE_EPOCH), so that the same files give the
# same image; without either, the time of the run.
set -euo pipefail
out=$1 wincd=$2 launcher=$3 manual=$4 epoch=${5:-${SOURCE_DATE_EPOCH:-}}
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
# Modes set here, not taken from the build (its umask, a signing tool's
# output): the programs executable, the rest not.
chmod 0644 "$stage/AUTORUN.INF" "$stage/MANUAL.PDF"
chmod 0755 "$stage/start" "$stage/autorun" "$stage/START.EXE" "$stage/Acrobat/Setup.exe" "$stage/Data/Subset.exe"
[[ -f $stage/libmirelund-atk.so ]] && chmod 0755 "$stage/libmirelund-atk.so"
dates=()
if [[ -n $epoch ]]; then
  [[ $epoch =~ ^[0-9]+$ ]] || { echo "make-image.sh: EPOCH '$epoch' is not a number of seconds" >&2; exit 1; }
  stamp=$(date -u -d "@$epoch" +%Y%m%d%H%M%S00)
  find "$stage" -exec touch -h -d "@$epoch" {} +
  # The volume's dates and UUID, and the files' three times each.
  dates=(--modification-date="$stamp" --set_all_file_dates set_to_mtime)
  export SOURCE_DATE_EPOCH=$epoch
fi

# -r: Rock Ridge with modes made sensible for a disc (everything readable,
# the programs executable, owned by root).
if ! xorriso -as mkisofs -quiet -V MIRELUND -J -joliet-long -r "${dates[@]}" \
     -o "$out.part" "$stage" 2>"$stage.log"; then
  cat "$stage.log" >&2
  rm -f "$stage.log" "$out.part"
  exit 1
fi
rm -f "$stage.log"
mv "$out.part" "$out"
