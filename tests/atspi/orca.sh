#!/usr/bin/env bash
# Real Orca speaking the launcher's accept path (orca_walk.sh), in a session
# of its own; skipped, saying why, where Orca is not installed.
#   orca.sh LAUNCHER
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if ! command -v orca >/dev/null; then
  echo "SKIP: orca is not installed (tools/install-deps.sh --tests installs it where the mirror has it)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
bash "$here/in_session.sh" bash "$here/orca_walk.sh" "$1" "$work"
