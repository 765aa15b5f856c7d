# Runs a command on a private Xvfb (800x600, 96 DPI, no window manager).
#   run_xvfb.sh COMMAND [ARGS...]
source "$(dirname "$0")/common.sh"
start_xvfb 800x600
"$@"
