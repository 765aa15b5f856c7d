# A real window manager or desktop for the tests, with a home, settings and
# session bus of its own: the X11 managers on an Xvfb of their own (800x600,
# 96 dpi), the Wayland compositors headless with XWayland. With two monitors
# (LAYOUT "two"): a primary of 1024x768 at the left of one of 800x600 (KWin's
# virtual outputs are all of one size: two of 1024x768; on X11 Xephyr's two
# screens joined by Xinerama); "two-right" (mutter on Wayland): the primary
# on the right, as GNOME's display settings save it. Sourced; needs bash.
#   desktop_start: starts the manager $wm in layout $layout (default "one"),
#     with its files in $work; sets DISPLAY (and XAUTHORITY), wayland (0 or 1)
#     and primary ("X Y W H" of the primary monitor)
#   desktop_stop: stops what desktop_start started
#   offer_place W H FW FH: where the program puts the offer's frame on a
#     monitor of W x H pixels at 96 dpi, from its top left corner, when its
#     frame adds FW and FH pixels to its client area: "LEFT TOP"

DESKTOP_WM_PID="" DESKTOP_XEPHYR_PID=""

# mutter's settings as a GNOME session has them: modal dialogs attached to
# their parents (mutter's own default is not to). Its own schema folder, so
# no user's or machine's settings count.
gnome_settings() {
  local dir=$work/schemas
  mkdir -p "$dir"
  cp /usr/share/glib-2.0/schemas/*.xml "$dir/"
  printf '[org.gnome.mutter]\nattach-modal-dialogs=true\n' >"$dir/90_gnome-session.gschema.override"
  glib-compile-schemas "$dir" || return 1
  export GSETTINGS_SCHEMA_DIR=$dir GSETTINGS_BACKEND=memory
  [[ $(gsettings get org.gnome.mutter attach-modal-dialogs) == true ]]
}

# mutter's monitors as GNOME's display settings save them: the 800x600 one
# at the left, the primary at its right.
mutter_primary_right() {
  local maker='<vendor>MetaVendor</vendor><product>MetaVirtualMonitor</product>'
  mkdir -p "$work/home/.config"
  cat >"$work/home/.config/monitors.xml" <<EOF
<monitors version="2"><configuration>
  <logicalmonitor><x>0</x><y>0</y><scale>1</scale><monitor>
    <monitorspec><connector>Meta-1</connector>$maker<serial>0x01</serial></monitorspec>
    <mode><width>800</width><height>600</height><rate>60.000</rate></mode></monitor></logicalmonitor>
  <logicalmonitor><x>800</x><y>0</y><scale>1</scale><primary>yes</primary><monitor>
    <monitorspec><connector>Meta-0</connector>$maker<serial>0x00</serial></monitorspec>
    <mode><width>1024</width><height>768</height><rate>60.000</rate></mode></monitor></logicalmonitor>
</configuration></monitors>
EOF
}

# Xephyr's two screens side by side, one X screen by Xinerama, shown in an
# Xvfb of their size; sets DISPLAY.
start_xephyr_two() {
  : >"$work/xephyr-display"
  Xephyr -displayfd 3 -screen 1024x768 -screen 800x600 +xinerama -dpi 96 -nolisten tcp -noreset \
    3>"$work/xephyr-display" 2>"$work/xephyr.log" &
  DESKTOP_XEPHYR_PID=$!
  wait_until 10 test -s "$work/xephyr-display" || { fail "Xephyr did not start: $(cat "$work/xephyr.log")"; return 1; }
  export DISPLAY=":$(head -n1 "$work/xephyr-display")"
}

desktop_start() {
  local kwin cmd monitors kwin_size
  layout=${layout:-one}
  case $layout in
    one) primary="0 0 800 600" ;;
    two) primary="0 0 1024 768" ;;
    two-right) primary="800 0 1024 768" ;;
    *) fail "no layout $layout"; return 1 ;;
  esac
  mkdir -p "$work/home" "$work/runtime"
  chmod 700 "$work/runtime"
  case $wm in
    mutter | mutter-wayland)
      gnome_settings || { fail "GNOME's settings could not be made"; return 1; } ;;
  esac
  wayland=0
  [[ $wm != *wayland ]] || wayland=1
  if ((wayland == 0)); then
    if [[ $layout == one ]]; then
      start_xvfb
    else
      start_xvfb 1824x768
      start_xephyr_two || return 1
    fi
  fi
  monitors=(--virtual-monitor 800x600)
  kwin_size=(--width 800 --height 600)
  if [[ $layout != one ]]; then
    monitors=(--virtual-monitor 1024x768 --virtual-monitor 800x600)
    kwin_size=(--width 1024 --height 768 --output-count 2)
  fi
  [[ $layout != two-right ]] || mutter_primary_right

  # The window manager with a home of its own, so no user settings count.
  export XDG_RUNTIME_DIR=$work/runtime
  case $wm in
    openbox) cmd=(openbox --sm-disable) ;;
    xfwm4) cmd=(dbus-run-session -- xfwm4 --compositor=off --sm-client-disable) ;;
    metacity) cmd=(dbus-run-session -- metacity --sm-disable --no-composite) ;;
    mutter) cmd=(dbus-run-session -- mutter --x11 --replace --sm-disable) ;;
    kwin_x11) cmd=(dbus-run-session -- env QT_QPA_PLATFORM=xcb kwin_x11 --replace) ;;
    mutter-wayland) cmd=(dbus-run-session -- mutter --wayland --headless "${monitors[@]}" --sm-disable) ;;
    kwin_wayland)
      # The installed binary carries a file capability (cap_sys_resource),
      # and where processes may not gain it (containers) exec refuses it with
      # EPERM; a plain copy carries none. It tells the XWayland display to the
      # program it starts.
      kwin=$(command -v kwin_wayland) && cp "$kwin" "$work/kwin_wayland"
      printf '#!/bin/sh\necho "$DISPLAY $XAUTHORITY" >"%s.tmp" && mv "%s.tmp" "%s"\n' \
        "$work/xdisplay" "$work/xdisplay" "$work/xdisplay" >"$work/tell-display"
      chmod +x "$work/tell-display"
      cmd=(dbus-run-session -- env QT_QPA_PLATFORM=wayland "$work/kwin_wayland" --virtual --xwayland "${kwin_size[@]}"
           "$work/tell-display") ;;
    *) cmd=("$wm") ;;
  esac
  HOME=$work/home XDG_CONFIG_HOME=$work/home/.config "${cmd[@]}" </dev/null >"$work/wm.log" 2>&1 &
  DESKTOP_WM_PID=$!
  if ((wayland)); then
    wait_until 20 xwayland_display || { fail "$wm gave no X display: $(tail -n 20 "$work/wm.log")"; return 1; }
  fi
  wait_until 10 wm_running || { fail "$wm did not start: $(cat "$work/wm.log")"; return 1; }
  sleep 0.5  # its settings read and its root windows up
}
# The XWayland display the compositor started, and its key.
xwayland_display() {
  local n auth
  if [[ $wm == mutter-wayland ]]; then
    n=$(sed -n 's/.*Using public X11 display \(:[0-9]*\).*/\1/p' "$work/wm.log" | head -n1)
    auth=$(find "$XDG_RUNTIME_DIR" -maxdepth 1 -name '.mutter-Xwaylandauth.*' | head -n1)
    [[ -n $n && -n $auth ]] || return 1
  else
    [[ -s $work/xdisplay ]] || return 1
    read -r n auth <"$work/xdisplay"
  fi
  export DISPLAY=$n
  [[ -z ${auth:-} ]] || export XAUTHORITY=$auth
}
wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

desktop_stop() {
  # dbus-run-session does not pass a signal on to the manager it runs.
  if [[ -n $DESKTOP_WM_PID ]]; then
    pkill -P "$DESKTOP_WM_PID" 2>/dev/null || true
    kill "$DESKTOP_WM_PID" 2>/dev/null && wait "$DESKTOP_WM_PID" 2>/dev/null || true
  fi
  [[ -z $DESKTOP_XEPHYR_PID ]] || kill "$DESKTOP_XEPHYR_PID" 2>/dev/null || true
  [[ -z ${XVFB_PID:-} ]] || kill "$XVFB_PID" 2>/dev/null || true
  DESKTOP_WM_PID="" DESKTOP_XEPHYR_PID="" XVFB_PID=""
}

# Where the program puts the offer's frame (the layouts program).
offer_place() {
  "${DRIVER_LAYOUTS_RUN[@]}" "${1}x$2" "0,$4,$3,0" | tr -d '\r' | awk '$1 == "offer" && $2 == "frame" {print $3, $4}'
}
