# shellcheck shell=bash disable=SC2154,SC2034
# The Windows figures of bench/run.sh, sourced by it: START.EXE under wine
# against Win32 yardsticks of our own run the same way (a figure under wine
# is wine's, so each goal is a ratio), on the build this machine can run:
# the i686 build (the CD's) under wine32 where it runs, else the x86_64
# build under the 64-bit loader. Uses run.sh's helpers (start_xvfb,
# stop_xvfb, field, calc, met, $work, $build, $bin).
#
# Three wine prefixes, each with a persistent server of its own: one for the
# launcher, one for the yardsticks, and one for the bare program's waiting
# passes that run beside the launcher's wait, so that each one's share of
# wineserver can be read from its own server's CPU time.

# shellcheck source=tools/runs-32bit.sh
source "$root/tools/runs-32bit.sh"

wine_servers=()
wine_cleanup() {
  local p
  for p in "${wine_prefixes[@]}"; do WINEPREFIX=$p "$wineserver" -k >/dev/null 2>&1 || true; done
  for p in "${wine_servers[@]}"; do kill "$p" 2>/dev/null || true; wait "$p" 2>/dev/null || true; done
}

# Decides by trying which build runs; sets win_build, wine, wineserver,
# win_which (said in the output and the table) or win_skip.
wine_choose() {
  local no_wine32
  win_skip=""
  no_wine32=$(why_no_wine32)
  if [[ -z $no_wine32 ]]; then
    win_build=$root/build-bench-win32
    win_toolchain=mingw-i686.cmake
    wine=$(wine32_loader)
    wineserver=${wine%/*}/wineserver
    export WINEARCH=win32
    win_which="i686 build (the CD's) under wine32: 32-bit programs run here and so does $(wine32_where "$wine")"
  else
    win_build=$root/build-bench-win64
    win_toolchain=mingw-x86_64.cmake
    wine=/usr/lib/wine/wine64
    wineserver=/usr/lib/wine/wineserver64
    export WINEARCH=win64 WINELOADER=$wine WINESERVER=$wineserver
    win_which="x86_64 build under wine64: ${no_wine32}"
  fi
  local triplet=x86_64
  [[ $WINEARCH == win32 ]] && triplet=i686
  if [[ ! -x $wine ]]; then win_skip="wine is not installed"
  elif ! command -v "$triplet-w64-mingw32-g++-posix" >/dev/null; then win_skip="MinGW-w64 ($triplet) is not installed"
  fi
  export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
}

wine_build() {
  echo "building the Windows build and its bench programs into ${win_build#"$root"/}/"
  local toolchain=()
  [[ -f $win_build/CMakeCache.txt ]] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$root/cmake/$win_toolchain")
  cmake -S "$root" -B "$win_build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTART_TESTS=OFF >/dev/null
  cmake --build "$win_build" -j"$(nproc)" --target democd bench_win32 >/dev/null
  win_bin=$win_build/bench
}

# Three prefixes: one made by wineboot, the others copies of it. No window
# manager: wine places, focuses and frames its windows itself.
wine_prefixes=()
wine_prepare() {
  local x
  wine_launcher_prefix=$work/wine-launcher
  wine_yard_prefix=$work/wine-yardstick
  wine_wait_prefix=$work/wine-bare-wait
  start_xvfb
  x=$XVFB_PID
  (
    export DISPLAY=$XVFB_DISPLAY WINEPREFIX=$wine_launcher_prefix
    "$wine" wineboot -i >/dev/null 2>&1
    "$wineserver" -w
    "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    "$wineserver" -w
  )
  stop_xvfb "$x"
  cp -a "$wine_launcher_prefix" "$wine_yard_prefix"
  cp -a "$wine_launcher_prefix" "$wine_wait_prefix"
  ln -sfn "$build_cd_win" "$wine_launcher_prefix/dosdevices/d:"
  wine_prefixes=("$wine_launcher_prefix" "$wine_yard_prefix" "$wine_wait_prefix")
  wine_new_servers
}

# Fresh servers: wine's desktop takes the screen's size from the display its
# first program of a session had, so each new display gets new servers.
wine_new_servers() {
  local p
  for p in "${wine_prefixes[@]}"; do WINEPREFIX=$p "$wineserver" -k >/dev/null 2>&1 || true; done
  for p in "${wine_servers[@]}"; do wait "$p" 2>/dev/null || true; done
  WINEPREFIX=$wine_launcher_prefix "$wineserver" -f -p >/dev/null 2>&1 &
  wine_launcher_server=$!
  WINEPREFIX=$wine_yard_prefix "$wineserver" -f -p >/dev/null 2>&1 &
  wine_yard_server=$!
  WINEPREFIX=$wine_wait_prefix "$wineserver" -f -p >/dev/null 2>&1 &
  wine_wait_server=$!
  wine_servers=("$wine_launcher_server" "$wine_yard_server" "$wine_wait_server")
}

# Nanoseconds on a CPU and times put on one, over all threads of process $1.
proc_ns() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $1 } END { printf "%.0f", s }'; }
proc_wakeups() { cat /proc/"$1"/task/*/schedstat 2>/dev/null | awk '{ s += $3 } END { printf "%.0f", s }'; }
# Of those, the times a thread went to sleep of itself; the others it was
# taken off a CPU, by wineserver that its own request woke or by any other
# program.
proc_sleeps() { cat /proc/"$1"/task/*/status 2>/dev/null | awk '/^voluntary_ctxt_switches/ { s += $2 } END { printf "%.0f", s }'; }
# What the wait's CPU figures are made of, on one line: the launcher's
# voluntary sleeps, CPU time and wake-ups, its server's CPU time and
# wake-ups, the busy loop's CPU time, and the yardstick's server's; then the
# same five of the bare program's waiting passes and their server.
wait_counters() {  # wait_counters LAUNCHER_PID BUSY_PID BARE_PID
  echo "$(proc_sleeps "$1") $(proc_ns "$1") $(proc_wakeups "$1") $(proc_ns "$wine_launcher_server")" \
    "$(proc_wakeups "$wine_launcher_server") $(proc_ns "$2") $(proc_ns "$wine_yard_server")" \
    "$(proc_sleeps "$3") $(proc_ns "$3") $(proc_wakeups "$3") $(proc_ns "$wine_wait_server")" \
    "$(proc_wakeups "$wine_wait_server")"
}

# Median and p90 of the numbers on stdin, one a line: "MEDIAN P90 N".
series() {
  sort -g | awk '{ v[NR] = $1 } END {
    if (!NR) { print "0 0 0"; exit }
    p = int(NR * 9 / 10) + 1
    if (p > NR) p = NR
    printf "%.3f %.3f %d\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2, v[p], NR }'
}

wine_key() {  # the window gets the focus, then real key strokes
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
  xdotool key --clearmodifiers "$2"
}

# --- Start: process start to the welcome picture on the screen ---------------
wine_start() {
  local d1 x1 d2 x2 out
  note "Windows start: START.EXE against a bare Win32 window decoding with stb_image, under wine ($start_runs runs each, interleaved)"
  start_xvfb; d1=$XVFB_DISPLAY; x1=$XVFB_PID
  start_xvfb; d2=$XVFB_DISPLAY; x2=$XVFB_PID
  wine_new_servers
  out=$("$bin/draw_probe" --runs "$start_runs" --settle 10 --timeout 20 \
    --case launcher "$d1" "$build_cd_win" "$welcome_points $inset_points" \
      "/usr/bin/env WINEPREFIX=$wine_launcher_prefix $wine D:\\START.EXE" \
    --case bare "$d2" "$win_bin" "$welcome_points" "/usr/bin/env WINEPREFIX=$wine_yard_prefix $wine bare_window.exe")
  stop_xvfb "$x1"
  stop_xvfb "$x2"
  grep -v '^reference' <<<"$out"
  local pt a b
  for pt in $welcome_points; do
    a=$(awk -v p="$pt" '$1 == "reference" && $2 == "launcher" && $3 == p { print $4 }' <<<"$out")
    b=$(awk -v p="$pt" '$1 == "reference" && $2 == "bare" && $3 == p { print $4 }' <<<"$out")
    [[ -n $a && -n $b && $a != "$b" ]] && warn "START.EXE and the bare Win32 window differ at $pt"
  done
  w_start_launcher=$(field "$out" "result launcher" median)
  w_start_bare=$(field "$out" "result bare" median)
  w_start_ratio=$(calc "$w_start_launcher / $w_start_bare")
  w_start_cpu_launcher=$(field "$out" "result launcher" cpu_median)
  w_start_cpu_bare=$(field "$out" "result bare" cpu_median)
  w_start_cpu_ratio=$(calc "$w_start_cpu_launcher / $w_start_cpu_bare")
  printf 'START.EXE median %s ms, bare Win32 window median %s ms: %.2fx; CPU by then %s ms against %s ms: %.2fx\n' \
    "$w_start_launcher" "$w_start_bare" "$w_start_ratio" "$w_start_cpu_launcher" "$w_start_cpu_bare" "$w_start_cpu_ratio"
}

# --- Dialog, keys and the wait's end with the Win32 backend ------------------
wine_backend_figures() {
  local out
  note "Windows dialog: Load to on the screen, frmYesNo with the manual notice against a bare Win32 dialog with the same controls, under wine ($dialog_rounds rounds of $dialog_per_round each, interleaved)"
  start_xvfb
  wine_new_servers
  local round launcher_ms="" bare_ms=""
  for ((round = 1; round <= dialog_rounds; round++)); do
    out=$(cd "$win_bin" && DISPLAY=$XVFB_DISPLAY WINEPREFIX=$wine_yard_prefix "$bin/dialog_watch" "$wine" dialog_cycle.exe \
      $((dialog_per_round + 5)))
    grep -v '^drawn ' <<<"$out" | sed 's/^/START.EXE: /'
    launcher_ms+=$(awk '$1 == "drawn" { print $2 }' <<<"$out")$'\n'
    out=$(cd "$win_bin" && DISPLAY=$XVFB_DISPLAY WINEPREFIX=$wine_yard_prefix "$bin/dialog_watch" "$wine" bare_dialog.exe \
      $((dialog_per_round + 5)))
    grep -v '^drawn ' <<<"$out" | sed 's/^/bare dialog: /'
    bare_ms+=$(awk '$1 == "drawn" { print $2 }' <<<"$out")$'\n'
  done
  stop_xvfb "$XVFB_PID"
  read -r w_dialog w_dialog_p90 w_dialog_n < <(grep -v '^$' <<<"$launcher_ms" | series)
  read -r w_bare_dialog w_bare_dialog_p90 _ < <(grep -v '^$' <<<"$bare_ms" | series)
  w_dialog_ratio=$(calc "$w_dialog / $w_bare_dialog")
  printf 'Load to on the screen: START.EXE median %s ms (p90 %s), bare Win32 dialog median %s ms (p90 %s): %.2fx\n' \
    "$w_dialog" "$w_dialog_p90" "$w_bare_dialog" "$w_bare_dialog_p90" "$w_dialog_ratio"

  note "Windows key latency: Return by XTest to the click handler during the busy wait, under wine (20 presses)"
  start_xvfb
  wine_new_servers
  out=$(cd "$win_bin" && DISPLAY=$XVFB_DISPLAY WINEPREFIX=$wine_yard_prefix "$bin/key_sender" 20 "$wine" key_wait_window.exe)
  stop_xvfb "$XVFB_PID"
  echo "$out" | tr '\n' ' ' | sed 's/ result/\nresult/'
  echo
  w_key_median=$(field "$out" result median)
  w_key_max=$(field "$out" result max)

  note "Windows end of the busy wait: how late the loop sees a deadline, under wine (30 waits)"
  start_xvfb
  wine_new_servers
  out=$(cd "$win_bin" && DISPLAY=$XVFB_DISPLAY WINEPREFIX=$wine_yard_prefix "$wine" key_wait_window.exe --deadlines 30 | tr -d '\r')
  stop_xvfb "$XVFB_PID"
  w_late_max=$(late_max "$out")
  w_late_median=$(late_median "$out")
  echo "late by: median $w_late_median ms, max $w_late_max ms"
}

wine_accept() {
  sleep 0.5
  wine_key "$1" Return
  [[ $with_cpu == cpu ]] || return 0
  (cd "$win_bin" && WINEPREFIX=$wine_yard_prefix exec "$wine" busy_loop.exe 20) &
  wine_busy=$!
  busy_pid=$wine_busy
  (cd "$win_bin" && WINEPREFIX=$wine_wait_prefix exec "$wine" bare_wait.exe 20) >/dev/null 2>&1 &
  wine_bare=$!
}
wine_window() {  # the walk's hook: STEP ID
  case $1 in
    waiting)
      # Past the Acrobat Reader stub setup, which closes itself after 4 s.
      [[ $with_cpu != cpu ]] || wine_sample_wait "$DRIVER_LAUNCHER_PID" "$wine_busy" "$wine_bare" ;;
    closing)
      sleep 0.7
      wseq_hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$DRIVER_LAUNCHER_PID/status")
      wseq_shm_kb=$(awk '/^RssShmem:/ { print $2 }' "/proc/$DRIVER_LAUNCHER_PID/status") ;;
  esac
}
# The 20 s wait sampled: the launcher ($1), the busy loop ($2) and the bare
# waiting passes ($3), over 12 s from a second after the Acrobat Reader setup.
wine_sample_wait() {
  sleep 1
  t0=$(now_s)
  local lv0 l0 lw0 s0 sw0 b0 y0 qv0 q0 qw0 r0 rw0 lv1 l1 lw1 s1 sw1 b1 y1 qv1 q1 qw1 r1 rw1
  read -r lv0 l0 lw0 s0 sw0 b0 y0 qv0 q0 qw0 r0 rw0 < <(wait_counters "$1" "$2" "$3")
  sleep 12
  t1=$(now_s)
  read -r lv1 l1 lw1 s1 sw1 b1 y1 qv1 q1 qw1 r1 rw1 < <(wait_counters "$1" "$2" "$3")
  local span
  span=$(calc "$t1 - $t0")
  w_cpu_span=$span
  w_cpu_launcher=$(calc "100 * ($l1 - $l0) / 1e9 / $span")
  w_cpu_server=$(calc "100 * ($s1 - $s0) / 1e9 / $span")
  w_wakeups=$(calc "($lw1 - $lw0) / $span")
  w_sleeps=$(calc "($lv1 - $lv0) / $span")
  w_server_wakeups=$(calc "($sw1 - $sw0) / $span")
  w_cpu_busy_own=$(calc "100 * ($b1 - $b0) / 1e9 / $span")
  w_cpu_yard_server=$(calc "100 * ($y1 - $y0) / 1e9 / $span")
  w_bare_cpu=$(calc "100 * ($q1 - $q0) / 1e9 / $span")
  w_bare_cpu_server=$(calc "100 * ($r1 - $r0) / 1e9 / $span")
  w_bare_wakeups=$(calc "($qw1 - $qw0) / $span")
  w_bare_sleeps=$(calc "($qv1 - $qv0) / $span")
  w_bare_server_wakeups=$(calc "($rw1 - $rw0) / $span")
  wait "$2" || true
  wait "$3" || true
  busy_pid=""
}

# --- The whole sequence: CPU and wake-ups during the wait, peak working set --
# START.EXE from drive D: (the demo CD) on a screen of size $1, accepting
# everything; with $2 = cpu also samples the 20 s wait against the busy loop
# in the yardstick prefix. Sets wseq_hwm_kb.
wine_sequence() {
  local size=$1 x lpid
  with_cpu=${2:-}
  start_xvfb "$size"
  x=$XVFB_PID
  export DISPLAY=$XVFB_DISPLAY
  wine_new_servers
  (cd "$build_cd_win" && WINEPREFIX=$wine_launcher_prefix exec "$wine" 'D:\START.EXE') >/dev/null 2>&1 &
  lpid=$!
  DRIVER_LAUNCHER_PID=$lpid
  WALK_WIDTH=([offer]=$WINE_OFFER_WIDTH [manual-notice]=$WINE_NOTICE_WIDTH) WALK_LIMIT=([offer]=30 [manual-notice]=40)
  WALK_ANSWER=([offer]=wine_accept [game-setup]="" [manual-notice]="wine_key alt+o" [game-question]="wine_key alt+j"
    [sound-notice]="wine_key Return" [closing]="wine_key Return")
  WALK_HOOK=wine_window
  driver_walk_accept || { echo "the walk under wine stopped at the $WALK_STOPPED" >&2; exit 1; }
  local status=0
  wait_until 10 driver_ended || true
  wait "$lpid" || status=$?
  DRIVER_LAUNCHER_PID=""
  if [[ $with_cpu == cpu ]]; then
    # What the servers spend with none of our programs running, on the same
    # display: wine's own services and desktop; the rest was ours.
    local launcher_idle yard_idle
    launcher_idle=$(server_idle "$wine_launcher_server")
    yard_idle=$(server_idle "$wine_yard_server")
    w_bare_cpu_upper=$(calc "$w_bare_cpu + $w_bare_cpu_server")
    w_server_idle=$launcher_idle
    w_cpu_server_share=$(calc "(($w_cpu_server - $launcher_idle) > 0 ? $w_cpu_server - $launcher_idle : 0)")
    w_cpu_total=$(calc "$w_cpu_launcher + $w_cpu_server_share")
    w_cpu_upper=$(calc "$w_cpu_launcher + $w_cpu_server")
    w_cpu_busy=$(calc "$w_cpu_busy_own + (($w_cpu_yard_server - $yard_idle) > 0 ? $w_cpu_yard_server - $yard_idle : 0)")
  fi
  stop_xvfb "$x"
  unset DISPLAY
  [[ $status -eq 0 ]] || warn "START.EXE ended with status $status at $size"
}

# A server's own CPU share (per cent of a core) over 12 s with none of our
# programs running in its prefix: what it spends on wine's own services.
server_idle() {
  local a b t0 t1
  t0=$(now_s); a=$(proc_ns "$1")
  sleep 12
  t1=$(now_s); b=$(proc_ns "$1")
  calc "100 * ($b - $a) / 1e9 / ($t1 - $t0)"
}

wine_memory_and_wait() {
  local x bare size
  note "Windows whole sequence of START.EXE from drive D: under wine: CPU and wake-ups during the 20 s wait against a bare Win32 program's waiting passes, peak working set (800x600, ${big_sizes[*]})"
  start_xvfb
  wine_new_servers
  (cd "$win_bin" && DISPLAY=$XVFB_DISPLAY WINEPREFIX=$wine_yard_prefix exec "$wine" bare_window.exe) &
  bare=$!
  sleep 4
  w_bare_hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$bare/status")
  w_bare_shm_kb=$(awk '/^RssShmem:/ { print $2 }' "/proc/$bare/status")
  kill "$bare" 2>/dev/null || true
  wait "$bare" 2>/dev/null || true
  stop_xvfb "$XVFB_PID"
  wine_sequence 800x600 cpu
  w_hwm_kb=$wseq_hwm_kb
  w_shm_kb=$wseq_shm_kb
  declare -gA w_big_hwm_kb w_big_shm_kb
  for size in "${big_sizes[@]}"; do
    wine_sequence "$size"
    w_big_hwm_kb[$size]=$wseq_hwm_kb
    w_big_shm_kb[$size]=$wseq_shm_kb
  done
  printf 'CPU over %.1f s of the wait: START.EXE %.3f %% + its wineserver %.3f %% (the server %.3f %%, less %.3f %% it spends idle) = %.3f %% (all of the server counted: %.3f %%); busy loop %.1f %%\n' \
    "$w_cpu_span" "$w_cpu_launcher" "$w_cpu_server_share" "$w_cpu_server" "$w_server_idle" "$w_cpu_total" "$w_cpu_upper" "$w_cpu_busy"
  printf 'the bare waiting passes, the same 12 s: %.3f %% + all of their wineserver %.3f %% = %.3f %%: START.EXE %.2fx\n' \
    "$w_bare_cpu" "$w_bare_cpu_server" "$w_bare_cpu_upper" "$(calc "$w_cpu_upper / $w_bare_cpu_upper")"
  printf 'wake-ups: START.EXE %.0f/s (%.0f of them from its own sleeps), its wineserver %.0f/s; bare passes %.0f/s (%.0f sleeps), their wineserver %.0f/s: %.2fx\n' \
    "$w_wakeups" "$w_sleeps" "$w_server_wakeups" "$w_bare_wakeups" "$w_bare_sleeps" "$w_bare_server_wakeups" \
    "$(calc "$w_wakeups / $w_bare_wakeups")"
  printf 'peak working set (VmHWM at the closing window): %s kB (wine'"'"'s window surfaces shared with the X server, RssShmem then: %s kB); bare Win32 window %s kB (%s kB): %.2fx\n' \
    "$w_hwm_kb" "$w_shm_kb" "$w_bare_hwm_kb" "$w_bare_shm_kb" "$(calc "$w_hwm_kb / $w_bare_hwm_kb")"
  for size in "${big_sizes[@]}"; do
    printf 'at %s: %s kB (RssShmem %s kB), %.2fx that at 800x600\n' "$size" "${w_big_hwm_kb[$size]}" \
      "${w_big_shm_kb[$size]}" "$(calc "${w_big_hwm_kb[$size]} / $w_hwm_kb")"
  done
}

# The dialog figure: rounds of each program in turn, the first five
# showings of each round not counted.
readonly dialog_rounds=3 dialog_per_round=20

# Window sizes under wine include the frame wine draws.
readonly WINE_OFFER_WIDTH=377 WINE_NOTICE_WIDTH=281

# Everything above, in order. Sets win_measured=yes once done.
wine_measure() {
  win_measured=no
  wine_choose
  if [[ -n $win_skip ]]; then
    note "Windows figures: not measured ($win_skip)"
    return
  fi
  note "Windows figures: the $win_which"
  wine_build
  build_cd_win=$win_build/cd
  wine_prepare
  wine_start
  wine_backend_figures
  wine_memory_and_wait
  wine_cleanup
  win_measured=yes
}

# The Windows rows of the table.
wine_rows() {
  [[ $win_measured == yes ]] || return 0
  local s4=${big_sizes[0]} s8=${big_sizes[1]} q="'"
  cat <<EOF
| **Windows** ($win_which), process start → welcome picture drawn, START.EXE against a bare Win32 window showing welcome.jpg full screen decoded by stb_image | ≤ 1.10× | $(printf '%.2f× (median of %s: %s ms against %s ms; CPU used by then %s ms against %s ms, %.2f×)' "$w_start_ratio" "$start_runs" "$w_start_launcher" "$w_start_bare" "$w_start_cpu_launcher" "$w_start_cpu_bare" "$w_start_cpu_ratio") | $(met "$w_start_ratio <= 1.10") |
| Windows: peak working set through the whole sequence (VmHWM of the wine process), against the bare Win32 window | ≤ 1.25× | $(printf "%.2f× (%.1f MB against %.1f MB; wine${q}s window surfaces in them %.1f MB and %.1f MB)" "$(calc "$w_hwm_kb / $w_bare_hwm_kb")" "$(calc "$w_hwm_kb * 1024 / 1e6")" "$(calc "$w_bare_hwm_kb * 1024 / 1e6")" "$(calc "$w_shm_kb * 1024 / 1e6")" "$(calc "$w_bare_shm_kb * 1024 / 1e6")") | $(met "$w_hwm_kb <= 1.25 * $w_bare_hwm_kb") |
| Windows: the same peak at ${s4/x/×} and at ${s8/x/×}, against 800×600 | ≤ 1.3× and ≤ 1.6× | $(printf "%.2f× and %.2f× (%.1f MB and %.1f MB; wine${q}s window surfaces in them %.1f MB and %.1f MB)" "$(calc "${w_big_hwm_kb[$s4]} / $w_hwm_kb")" "$(calc "${w_big_hwm_kb[$s8]} / $w_hwm_kb")" "$(calc "${w_big_hwm_kb[$s4]} * 1024 / 1e6")" "$(calc "${w_big_hwm_kb[$s8]} * 1024 / 1e6")" "$(calc "${w_big_shm_kb[$s4]} * 1024 / 1e6")" "$(calc "${w_big_shm_kb[$s8]} * 1024 / 1e6")") | $(met "${w_big_hwm_kb[$s4]} <= 1.3 * $w_hwm_kb && ${w_big_hwm_kb[$s8]} <= 1.6 * $w_hwm_kb") |
| Windows: dialog Load → on the screen (frmYesNo with the manual notice), against a bare Win32 program showing a window of the same size with the same controls | median ≤ 1.5× | $(printf '%.2f× (median of %s: %s ms, p90 %s ms; bare dialog %s ms, p90 %s ms)' "$w_dialog_ratio" "$w_dialog_n" "$w_dialog" "$w_dialog_p90" "$w_bare_dialog" "$w_bare_dialog_p90") | $(met "$w_dialog_ratio <= 1.5") |
| Windows: CPU during the 20 s wait, START.EXE and all of its wineserver, share of one core, against the same waiting passes in a bare Win32 program | ≤ 0.3 % and ≤ 1.2× (busy loop under wine: 100 %) | $(printf '%.3f %%, %.2f× (START.EXE %.3f %% + wineserver %.3f %%; bare passes %.3f %% + %.3f %% = %.3f %%; busy loop %.1f %%)' "$w_cpu_upper" "$(calc "$w_cpu_upper / $w_bare_cpu_upper")" "$w_cpu_launcher" "$w_cpu_server" "$w_bare_cpu" "$w_bare_cpu_server" "$w_bare_cpu_upper" "$w_cpu_busy") | $(met "$w_cpu_upper <= 0.3 && $w_cpu_upper <= 1.2 * $w_bare_cpu_upper") |
| Windows: wake-ups per second during the wait (the program's threads), against the bare passes | ≤ 1.2× | $(printf '%.2f× (%.0f/s against %.0f/s; their wineservers %.0f/s and %.0f/s)' "$(calc "$w_wakeups / $w_bare_wakeups")" "$w_wakeups" "$w_bare_wakeups" "$w_server_wakeups" "$w_bare_server_wakeups") | $(met "$w_wakeups <= 1.2 * $w_bare_wakeups") |
| Windows: end of the wait, how late the busy loop sees its deadline | ≤ 50 ms | median $w_late_median ms, max $w_late_max ms (30 waits) | $(met "$w_late_max <= 50") |
| Windows: key press → handled during the wait (XTest Return → click handler, read from its stdout) | ≤ 20 ms | median $w_key_median ms, max $w_key_max ms (20 presses) | $(met "$w_key_max <= 20") |
EOF
}
