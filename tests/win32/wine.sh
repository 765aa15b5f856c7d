#!/usr/bin/env bash
# The Windows tree's tests under wine. CTest runs every test program through
# "run" (the tree's emulator), and the fixtures make what they share, once
# per ctest run, in the folder WORK: an Xvfb (WORK/display holds its number)
# and a wine prefix (WORK/prefix) whose server stays up until the cleanup.
#   wine.sh run WORK LOADER PROGRAM [ARGS...]
#   wine.sh display-up WORK PROBE_SOURCE | display-down WORK
#   wine.sh prefix-up WORK LOADER VERSION | prefix-down WORK LOADER
#   wine.sh codepage WORK LOADER LOCALE CODEPAGE PROGRAM ARGS...
# LOADER is wine for the i686 build, /usr/lib/wine/wine64 for the x86_64 one.
#
# A wine program may leave wine's own processes (explorer, services) running
# with its standard output; CTest would wait for that pipe to close. So wine
# never writes to a pipe here: its output goes to a file, shown afterwards.
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../harness/harness.sh
source "$here/../harness/harness.sh"
# shellcheck source=../harness/wine-env.sh
source "$here/../harness/wine-env.sh"

# Runs wine with its output in a file of WORK, then shows it; keeps the
# status. A test program that failed before GoogleTest said a word never
# started: that is wine's, not the test's, and it is tried once more, saying so.
logged() {
  local log status=0
  log=$(mktemp "$work/out.XXXXXX")
  "$@" >"$log" 2>&1 </dev/null || status=$?
  if [[ $status -ne 0 && " $* " == *" --gtest_filter="* ]] && ! grep -q '^\[==========\]' "$log"; then
    echo "wine.sh: the program did not start (status $status): once more. Its output was:"
    cat "$log"
    status=0
    "$@" >"$log" 2>&1 </dev/null || status=$?
  fi
  cat "$log"
  rm -f "$log"
  return $status
}

# The fixture's Xvfb, if it still runs.
kill_xvfb() {
  local pid
  pid=$(cat "$work/xvfb.pid" 2>/dev/null || true)
  [[ -z $pid || $(cat "/proc/$pid/comm" 2>/dev/null) != Xvfb ]] || kill "$pid"
  rm -f "$work/display" "$work/xvfb.pid"
}

command=$1
work=$2
shift 2
mkdir -p "$work"
case $command in
  run)
    wine_env "$work/prefix" "$1"
    [[ ! -s $work/display ]] || export DISPLAY=":$(head -n1 "$work/display")"
    # Test discovery comes before the fixtures: it makes the prefix itself.
    wine_make_prefix "$work/wineboot.log" || { echo "wine.sh: no wine prefix (see $work/wineboot.log)"; exit 1; }
    logged "$WINE" "${@:2}" || exit $?
    ;;
  codepage)
    # The texts must not change under a system code page other than 1252;
    # wine takes it from the locale.
    wine_env "$work/prefix" "$1"
    export DISPLAY=":$(head -n1 "$work/display")" LC_ALL=$2 LANG=$2
    codepage=$3 program=$4
    shift 4
    xml=$work/codepage-$codepage.xml
    rm -f "$xml"
    logged "$WINE" "$program" "$@" "--gtest_output=xml:Z:${xml//\//\\}" || exit 1
    grep -q "name=\"ansi_code_page\" value=\"$codepage\"" "$xml" ||
      die "the program did not run under code page $codepage"
    echo "ran under code page $codepage"
    ;;
  display-up)
    kill_xvfb  # an interrupted run's
    # Its own session, and no descriptor of ours: it outlives this test.
    XVFB_KEEP=1 XVFB_LOG=$work/xvfb.log start_xvfb 1024x768
    echo "$XVFB_PID" >"$work/xvfb.pid"
    echo "${DISPLAY#:}" >"$work/display"
    echo "display $DISPLAY (1024x768, 96 dpi, no window manager)"
    # The pixel probe of the display tests, built for this machine.
    g++ -std=c++20 -O2 -isystem /usr/include/stb "$1" -o "$work/pngprobe" || exit 1
    ;;
  display-down) kill_xvfb ;;
  prefix-up)
    wine_env "$work/prefix" "$1"
    export DISPLAY=":$(head -n1 "$work/display")"
    "$WINESERVER" -k >/dev/null 2>&1 || true
    wine_make_prefix "$work/wineboot.log" || { echo "no wine prefix (see $work/wineboot.log)"; exit 1; }
    # One server for the whole run: no start-up per test, and no client
    # that meets a server on its way out.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    wine_report_windows "$2" || exit 1
    echo "wine prefix $WINEPREFIX ($WINEARCH), reporting Windows $2 ($WINE_REPORTED)"
    ;;
  prefix-down)
    wine_env "$work/prefix" "$1"
    "$WINESERVER" -k >/dev/null 2>&1 || true
    rm -rf "$work/prefix"
    ;;
  *) echo "wine.sh: unknown command $command" >&2; exit 2 ;;
esac
