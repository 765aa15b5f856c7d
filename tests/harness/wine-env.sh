# Wine for the tests: the environment of one prefix, making the prefix, and
# the Windows version it reports. Sourced; needs bash.

# wine_env PREFIX LOADER: exports the prefix's environment and sets WINE and
# WINESERVER. /usr/bin/wine takes the 32-bit loader whenever it is
# installed, so the 64-bit one is named by its path. A loader's server is
# the one beside it (wine32's own root has both in tools/wine32/bin/).
wine_env() {
  export WINEPREFIX=$1 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  WINE=$2
  if [[ $WINE == */wine64 ]]; then
    WINESERVER=${WINE%/*}/wineserver64
    export WINEARCH=win64 WINELOADER=$WINE WINESERVER
  else
    WINESERVER=wineserver
    [[ $WINE == */* && -x ${WINE%/*}/wineserver ]] && WINESERVER=${WINE%/*}/wineserver
    export WINEARCH=win32
  fi
}

# wine_stub_log FILE: where the stub setups under wine note each start
# ("TITLE<TAB>COMMAND LINE"), emptied; sets STUB_LOG.
wine_stub_log() { STUB_LOG=$1; : >"$1"; export MIRELUND_STUB_LOG="Z:${1//\//\\}"; }

# wine_make_prefix LOG: makes the prefix where it is missing, once for all
# the processes that ask at the same time. No window manager runs with our
# wine: it places, maximizes and focuses its windows itself and draws their
# frames.
wine_make_prefix() {
  local lock status=0
  mkdir -p "$(dirname "$WINEPREFIX")"
  exec {lock}>"$WINEPREFIX.lock"
  flock "$lock"
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    { "$WINE" wineboot -i && "$WINESERVER" -w &&
      "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f && "$WINESERVER" -w
    } </dev/null >"$1" 2>&1 || status=1
  fi
  exec {lock}>&-
  return $status
}

# wine_report_windows VERSION: what wine tells programs from now on; checked
# by asking, as a program would. Sets WINE_REPORTED.
wine_report_windows() {
  local want out
  case $1 in
    winxp) want=5.1 ;; winxp64) want=5.2 ;; win7) want=6.1 ;; win10) want=10.0 ;;
    *) echo "unknown Windows version $1"; return 1 ;;
  esac
  out=$(mktemp)
  "$WINE" winecfg /v "$1" </dev/null >/dev/null 2>&1
  "$WINE" cmd /c ver </dev/null >"$out" 2>&1
  WINE_REPORTED=$(tr -d '\r' <"$out" | grep -o '[0-9]*\.[0-9]*\.[0-9]*' | head -n1)
  rm -f "$out"
  [[ ${WINE_REPORTED%.*} == "$want" ]] && return 0
  echo "FAIL: wine reports Windows ${WINE_REPORTED:-nothing}, not $1 ($want)"
  return 1
}
