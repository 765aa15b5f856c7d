#!/usr/bin/env bash
# Runs a command on a private Xvfb (no window manager) in a private session
# bus with accessibility turned on, as a screen reader turns it on.
#   in_session.sh COMMAND...
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../display/common.sh"
start_xvfb 800x600
# The session's own daemons say they could not raise their file limit.
dbus-run-session -- bash -c '
  gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled "<true>" >/dev/null
  exec "$@"' in_session "$@" 2> >(grep -v "^dbus-daemon\[\|^SpiRegistry daemon" >&2)
