#!/usr/bin/env bash
# Process-level benchmark of the launcher: builds a Release tree in
# build-bench/ (and the Windows build in build-bench-win32/ when no current
# one is at hand), measures every figure against a yardstick run side by side
# on this machine in this run, and ends with a Markdown table for the README.
# Each program under test gets its own Xvfb (800x600x24 unless a bigger
# screen is the point, 96 dpi, no window manager). Then the same figures of
# START.EXE under wine against Win32 yardsticks of our own (bench/wine.sh),
# on the Windows build this machine can run, said in the output. About
# fifteen minutes once built (the Windows part alone eight), the launcher's
# whole sequence with its 20-second wait run three times on Linux and three
# times under wine included; the first builds take a few minutes more.
#   bench/run.sh             everything
#   bench/run.sh --windows   only the figures under wine, and their rows
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build-bench
win32_build=$root/build-bench-win32
bin=$build/bench

note() { printf '\n== %s\n' "$*"; }
warn() { echo "warning: $*" >&2; }

"$root/tools/install-deps.sh" --tests

note "Building (Release) into build-bench/"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DSTART_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target democd bench_runtime busy_loop draw_probe bare_window dialog_show \
  dialog_watch key_wait_window key_sender >/dev/null
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)

# shellcheck source=tools/launcher-driver.sh
source "$root/tools/launcher-driver.sh"
work=$(mktemp -d)
busy_pid=""
at_exit 'rm -rf "$work"'
at_exit '[[ -z $busy_pid ]] || kill "$busy_pid"'
at_exit wine_cleanup
stop_xvfb() { kill "$1" 2>/dev/null || true; wait "$1" 2>/dev/null || true; }

# shellcheck source=bench/wine.sh
source "$root/bench/wine.sh"

# A private mount namespace where the demo CD folder is bound onto itself, so
# that the launcher finds its program folder at a volume root, as on a CD.
ns=(-m --propagation private)
[[ $(id -u) -ne 0 ]] && ns=(-r "${ns[@]}")

# The value after "key=" on the line of $1 that starts with $2.
field() { grep -m1 "^$2" <<<"$1" | tr ' ' '\n' | sed -n "s/^$3=//p"; }
# awk arithmetic and comparisons on measured values.
calc() { awk "BEGIN { printf \"%s\", $1 }"; }
met() { [[ $(awk "BEGIN { print ($1) ? 1 : 0 }") == 1 ]] && echo yes || echo "**no**"; }
# The maximum and the median of the "late MS" lines a deadline run prints.
late_max() { awk '$1 == "late" && $2 > m { m = $2 } END { printf "%.1f", m }' <<<"$1"; }
late_median() {
  awk '$1 == "late" { print $2 }' <<<"$1" | sort -g |
    awk '{ v[NR] = $1 } END { printf "%.1f", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'
}

start_runs=11  # this many of each, interleaved: the machine's drift falls on both alike
# Points of the welcome picture clear of the inset and the offer dialog, and
# three of the inset; both programs show welcome.jpg unscaled at (0,0).
welcome_points="380,20 600,80 700,250 780,40 360,300 100,450 780,580 200,580 450,580 10,300 350,200 560,330"
inset_points="180,200 100,320 300,60"
big_sizes=(3840x2160 7680x4320)
now_s() { echo "$EPOCHREALTIME"; }

if [[ ${1:-} == --windows ]]; then
  wine_measure
  note "Result"
  echo
  echo "Measured by \`bench/run.sh --windows\` on $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, load average $load_at_start at the start and $(cut -d' ' -f1-3 /proc/loadavg) at the end. Windows: $(if [[ $win_measured == yes ]]; then echo "the $win_which"; else echo "not measured${win_skip:+ ($win_skip)}"; fi)."
  echo
  echo "| Figure | Goal | Measured | Met? |"
  echo "|---|---|---|---|"
  wine_rows
  exit 0
fi

# --- 1. Process start to the welcome window fully drawn ---------------------
note "Start: process start to the welcome window drawn, launcher against a bare FLTK window decoding with libjpeg-turbo ($start_runs runs each, interleaved)"
start_xvfb; d_launcher=$XVFB_DISPLAY; x_launcher=$XVFB_PID
start_xvfb; d_bare=$XVFB_DISPLAY; x_bare=$XVFB_PID
probe_out=$(unshare "${ns[@]}" sh -c 'mount --bind "$1" "$1" && shift && exec "$@"' sh "$build/cd" \
  "$bin/draw_probe" --runs "$start_runs" \
  --case launcher "$d_launcher" "$build/cd" "$welcome_points $inset_points" ./start \
  --case bare "$d_bare" "$bin" "$welcome_points" "$bin/bare_window")
stop_xvfb "$x_launcher"
stop_xvfb "$x_bare"
grep -v '^reference' <<<"$probe_out"
# Both show the same picture at the shared points, or the comparison is void.
shared_ok=yes
for pt in $welcome_points; do
  a=$(awk -v p="$pt" '$1 == "reference" && $2 == "launcher" && $3 == p { print $4 }' <<<"$probe_out")
  b=$(awk -v p="$pt" '$1 == "reference" && $2 == "bare" && $3 == p { print $4 }' <<<"$probe_out")
  [[ -n $a && -n $b && $a != "$b" ]] && shared_ok=no
done
[[ $shared_ok == yes ]] || warn "the two programs show different pixels at shared points"
start_launcher=$(field "$probe_out" "result launcher" median)
start_bare=$(field "$probe_out" "result bare" median)
start_ratio=$(calc "$start_launcher / $start_bare")
start_cpu_launcher=$(field "$probe_out" "result launcher" cpu_median)
start_cpu_bare=$(field "$probe_out" "result bare" cpu_median)
start_cpu_ratio=$(calc "$start_cpu_launcher / $start_cpu_bare")
printf 'launcher median %s ms, bare window median %s ms: %.2fx\n' "$start_launcher" "$start_bare" "$start_ratio"
printf 'CPU time the program had used when drawn: %s ms against %s ms: %.2fx\n' \
  "$start_cpu_launcher" "$start_cpu_bare" "$start_cpu_ratio"

# --- 1b. The same start as the screen grows ------------------------------------
big_runs=7
note "Start on bigger screens: the launcher at 800x600, ${big_sizes[*]} ($big_runs runs each, interleaved)"
# The welcome points clear of the offer dialog, scaled with the screen (the
# picture is stretched over it).
scaled_points() {
  local w=${1%x*} h=${1#*x} pt out=()
  for pt in 380,20 600,80 780,40 10,300 100,450 200,580 450,580 780,580; do
    out+=("$((${pt%,*} * w / 800)),$((${pt#*,} * h / 600))")
  done
  echo "${out[*]}"
}
big_cases=()
big_xvfbs=()
for size in 800x600 "${big_sizes[@]}"; do
  start_xvfb "$size"
  big_xvfbs+=("$XVFB_PID")
  big_cases+=(--case "s$size" "$XVFB_DISPLAY" "$build/cd" "$(scaled_points "$size")" ./start)
done
big_out=$(unshare "${ns[@]}" sh -c 'mount --bind "$1" "$1" && shift && exec "$@"' sh "$build/cd" \
  "$bin/draw_probe" --runs "$big_runs" --settle 6 --timeout 20 "${big_cases[@]}")
for p in "${big_xvfbs[@]}"; do stop_xvfb "$p"; done
grep '^result' <<<"$big_out"
declare -A big_start
for size in 800x600 "${big_sizes[@]}"; do big_start[$size]=$(field "$big_out" "result s$size" median); done
for size in "${big_sizes[@]}"; do
  printf '%s: median %s ms against %s ms at 800x600: %.2fx\n' "$size" "${big_start[$size]}" "${big_start[800x600]}" \
    "$(calc "${big_start[$size]} / ${big_start[800x600]}")"
done

# --- 2. A dialog from its definition -----------------------------------------
note "Dialog: load, lay out and show frmYesNo with the manual notice on FLTK until drawn, 200 times"
start_xvfb
dialog_out=$(DISPLAY=$XVFB_DISPLAY "$bin/dialog_show" 200)
stop_xvfb "$XVFB_PID"
echo "$dialog_out"
dialog_drawn=$(field "$dialog_out" drawn_ms median)
dialog_p90=$(field "$dialog_out" drawn_ms p90)
dialog_call=$(field "$dialog_out" load_show_ms median)
dialog_json=$work/dialog.json
"$bin/bench_runtime" --benchmark_filter='^BM_DialogFromDefinition$' --benchmark_out="$dialog_json" \
  --benchmark_out_format=json >/dev/null 2>&1
# Microseconds, whatever unit Google Benchmark chose.
dialog_headless=$(awk -F'[:,]' '
  /"real_time"/ { t = $2 + 0 }
  /"time_unit"/ { u = $2; gsub(/[ "]/, "", u); f = (u == "ns") ? 0.001 : (u == "us") ? 1 : (u == "ms") ? 1000 : 1e6;
                  printf "%.1f", t * f; exit }' "$dialog_json")
echo "headless (bench_runtime BM_DialogFromDefinition): $dialog_headless us"

# --- 3. Key press to its handling during the busy wait -----------------------
note "Key latency: Return by XTest to the default button's click handler, during the setup's busy wait (20 presses)"
start_xvfb
key_out=$(DISPLAY=$XVFB_DISPLAY "$bin/key_sender" 20 "$bin/key_wait_window")
stop_xvfb "$XVFB_PID"
echo "$key_out" | tr '\n' ' ' | sed 's/ result/\nresult/'
echo
key_median=$(field "$key_out" result median)
key_max=$(field "$key_out" result max)
note "End of the busy wait: how late the same loop sees a deadline passed, without input (30 waits)"
start_xvfb
late_out=$(DISPLAY=$XVFB_DISPLAY "$bin/key_wait_window" --deadlines 30)
stop_xvfb "$XVFB_PID"
late_max=$(late_max "$late_out")
late_median=$(late_median "$late_out")
echo "late by: median $late_median ms, max $late_max ms"

# --- 4 and 5. The real launcher through a whole sequence ---------------------
note "Whole sequence of the launcher from the demo CD: CPU during the 20 s wait, peak RSS (at 800x600 and ${big_sizes[*]})"
ticks_per_s=$(getconf CLK_TCK)
cpu_ticks() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }  # utime + stime
# The scheduler's count for the main thread: nanoseconds on a CPU, and how
# often it was put on one. Finer than the 10 ms ticks of utime and stime.
run_ns() { awk '{ print $1 }' "/proc/$1/schedstat"; }
wakeups() { awk '{ print $3 }' "/proc/$1/schedstat"; }

# Walks the whole sequence (accept everything) on a screen of size $1; with
# $2 = cpu, also samples the CPU during the 20 s wait. Sets seq_hwm_kb,
# seq_rss_kb and seq_status.
run_sequence() {
  local size=$1 lpid x_seq
  with_cpu=${2:-}
  start_xvfb "$size"
  x_seq=$XVFB_PID
  driver_launch "$build/cd"
  lpid=$DRIVER_LAUNCHER_PID
  # unshare and sh exec into the launcher
  wait_until 2 is_launcher "$lpid" || { echo "the launcher did not start" >&2; exit 1; }
  WALK_LIMIT=([offer]=30 [manual-notice]=40) WALK_ANSWER=([offer]=sequence_accept) WALK_HOOK=sequence_window
  driver_walk_accept || { echo "the walk stopped at the $WALK_STOPPED" >&2; exit 1; }
  seq_status=0
  wait "$lpid" || seq_status=$?
  DRIVER_LAUNCHER_PID=""
  stop_xvfb "$x_seq"
  unset DISPLAY
  [[ $seq_status -eq 0 ]] || warn "the launcher ended with status $seq_status at $size"
}
is_launcher() { [[ $(cat "/proc/$1/comm" 2>/dev/null) == start ]]; }
# "&Ja" on the offer: the 20 s wait starts; the yardstick runs at the same
# time when a core is free for it, else after.
sequence_accept() {
  driver_click_settled "$1" $DRIVER_OFFER_JA
  [[ $with_cpu == cpu ]] || return 0
  wait_started=$(now_s)
  cores=$(nproc)
  side_by_side=no
  if ((cores >= 2)); then
    side_by_side=yes
    "$bin/busy_loop" 18 &
    busy_pid=$!
  fi
}
sequence_window() {  # the walk's hook: STEP ID
  local lpid=$DRIVER_LAUNCHER_PID
  case $1 in
    acrobat-setup)
      [[ $with_cpu == cpu ]] || return 0
      # past the offer's unloading and the start of the Acrobat Reader setup
      local left
      left=$(calc "2 - ($(now_s) - $wait_started)")
      sleep "$(calc "($left > 0 ? $left : 0)")"
      t0=$(now_s); l0=$(cpu_ticks "$lpid"); s0=$(cpu_ticks "$XVFB_PID"); w0=$(wakeups "$lpid"); n0=$(run_ns "$lpid")
      [[ $side_by_side == no ]] || b0=$(cpu_ticks "$busy_pid")
      sleep 15
      t1=$(now_s); l1=$(cpu_ticks "$lpid"); s1=$(cpu_ticks "$XVFB_PID"); w1=$(wakeups "$lpid"); n1=$(run_ns "$lpid")
      [[ $side_by_side == no ]] || b1=$(cpu_ticks "$busy_pid")
      in_wait=$(calc "$t1 - $wait_started < 20")
      [[ $in_wait == 1 ]] || warn "the sample window reached past the 20 s wait"
      cpu_launcher=$(calc "100 * ($l1 - $l0) / $ticks_per_s / ($t1 - $t0)")
      cpu_xvfb=$(calc "100 * ($s1 - $s0) / $ticks_per_s / ($t1 - $t0)")
      wakeups_per_s=$(calc "($w1 - $w0) / ($t1 - $t0)")
      cpu_launcher_ns=$(calc "100 * ($n1 - $n0) / 1e9 / ($t1 - $t0)")
      cpu_ticks_used=$((l1 - l0))
      [[ $side_by_side == no ]] || cpu_busy=$(calc "100 * ($b1 - $b0) / $ticks_per_s / ($t1 - $t0)") ;;
    manual-notice)
      [[ -z $busy_pid ]] || { wait "$busy_pid" || true; busy_pid=""; } ;;
    closing)
      # Every window has been shown by now; the peak cannot grow once Ende is clicked.
      sleep 0.7
      seq_hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$lpid/status")
      seq_rss_kb=$(awk '/^VmRSS:/ { print $2 }' "/proc/$lpid/status") ;;
  esac
}

# The yardstick for memory: the bare window of the start figure, once drawn.
start_xvfb
DISPLAY=$XVFB_DISPLAY "$bin/bare_window" &
bare_pid=$!
sleep 2
bare_hwm_kb=$(awk '/^VmHWM:/ { print $2 }' "/proc/$bare_pid/status")
kill "$bare_pid" 2>/dev/null || true
wait "$bare_pid" 2>/dev/null || true
stop_xvfb "$XVFB_PID"

run_sequence 800x600 cpu
hwm_kb=$seq_hwm_kb
rss_kb=$seq_rss_kb
declare -A big_hwm_kb
for size in "${big_sizes[@]}"; do
  run_sequence "$size"
  big_hwm_kb[$size]=$seq_hwm_kb
done

if [[ $side_by_side == no ]]; then
  "$bin/busy_loop" 17 &
  busy_pid=$!
  sleep 1
  t0=$(now_s); b0=$(cpu_ticks "$busy_pid")
  sleep 15
  t1=$(now_s); b1=$(cpu_ticks "$busy_pid")
  cpu_busy=$(calc "100 * ($b1 - $b0) / $ticks_per_s / ($t1 - $t0)")
  wait "$busy_pid" || true
  busy_pid=""
fi
printf 'CPU over %.1f s of the wait: launcher %.2f %% (%s ticks of 1/%s s; by the scheduler'"'"'s ns count %.3f %%, %.0f wake-ups/s), its Xvfb %.2f %%, busy loop %.1f %% (%s)\n' \
  "$(calc "$t1 - $t0")" "$cpu_launcher" "$cpu_ticks_used" "$ticks_per_s" "$cpu_launcher_ns" "$wakeups_per_s" \
  "$cpu_xvfb" "$cpu_busy" \
  "$([[ $side_by_side == yes ]] && echo "same 15 s" || echo "the 15 s after")"
hwm_mb=$(calc "$hwm_kb * 1024 / 1e6")
bare_hwm_mb=$(calc "$bare_hwm_kb * 1024 / 1e6")
rss_ratio=$(calc "$hwm_kb / $bare_hwm_kb")
printf 'peak RSS (VmHWM at the closing window): %s kB = %.1f MB; RSS then %s kB; bare window %s kB = %.1f MB: %.2fx\n' \
  "$hwm_kb" "$hwm_mb" "$rss_kb" "$bare_hwm_kb" "$bare_hwm_mb" "$rss_ratio"
for size in "${big_sizes[@]}"; do
  printf 'peak RSS at %s: %s kB = %.1f MB, %.2fx that at 800x600\n' "$size" "${big_hwm_kb[$size]}" \
    "$(calc "${big_hwm_kb[$size]} * 1024 / 1e6")" "$(calc "${big_hwm_kb[$size]} / $hwm_kb")"
done

# --- 6. The Windows build under wine (bench/wine.sh) ------------------------
wine_measure

# --- 7. Size of START.EXE -----------------------------------------------------
note "Size of the static START.EXE"
exe=""
exe_from=""
current_exe() {  # not older than any source it is built from
  [[ -f $1 ]] && [[ -z $(find runtime forms setup dialogs cmake -type f -newer "$1" | head -n1) ]]
}
if current_exe build-win32/cd/START.EXE; then
  exe=$root/build-win32/cd/START.EXE
  exe_from="build-win32/"
elif [[ -f cmake/mingw-i686.cmake ]] && command -v i686-w64-mingw32-g++ >/dev/null; then
  echo "building the Windows build into build-bench-win32/"
  # The toolchain file counts only when the tree is first configured.
  toolchain=()
  [[ -f $win32_build/CMakeCache.txt ]] || toolchain=(-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake)
  cmake -S . -B "$win32_build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSTART_TESTS=OFF >/dev/null
  if cmake --build "$win32_build" -j"$(nproc)" --target democd >/dev/null && [[ -f $win32_build/cd/START.EXE ]]; then
    exe=$win32_build/cd/START.EXE
    exe_from="build-bench-win32/"
  fi
fi
if [[ -n $exe ]]; then
  exe_bytes=$(stat -c %s "$exe")
  artwork_bytes=$(cat forms/pictures/* | wc -c)
  stripped=$work/start-stripped.exe
  i686-w64-mingw32-strip -o "$stripped" "$exe" 2>/dev/null || cp "$exe" "$stripped"
  printf '%s: %s bytes (artwork files %s bytes; with all symbols stripped %s bytes)\n' \
    "${exe#"$root"/}" "$exe_bytes" "$artwork_bytes" "$(stat -c %s "$stripped")"
else
  echo "not built"
fi

# --- Google Benchmark --------------------------------------------------------
note "bench_runtime (Google Benchmark, headless backend)"
"$bin/bench_runtime" 2>&1 | grep -v '^\*\*\*WARNING'

# --- The table ---------------------------------------------------------------
cpu_model=$(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo)
note "Result"
cat <<EOF

Measured by \`bench/run.sh\` on $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores, ${cpu_model:-unknown CPU}, load average $load_at_start at the start and $(cut -d' ' -f1-3 /proc/loadavg) at the end; each figure against a yardstick run side by side in the same run (1 MB = 10^6 bytes). Windows: $(if [[ $win_measured == yes ]]; then echo "the $win_which"; else echo "not measured${win_skip:+ ($win_skip)}"; fi).

| Figure | Goal | Measured | Met? |
|---|---|---|---|
| Process start → welcome window drawn (FLTK, Xvfb), against a bare FLTK window showing welcome.jpg decoded by libjpeg-turbo | ≤ 1.25× | $(printf '%.2f× (median of %s: %s ms against %s ms; CPU used by then %s ms against %s ms, %.2f×)' "$start_ratio" "$start_runs" "$start_launcher" "$start_bare" "$start_cpu_launcher" "$start_cpu_bare" "$start_cpu_ratio") | $(met "$start_ratio <= 1.25") |
| The same start at 3840×2160, against 800×600 | ≤ 1.5× | $(printf '%.2f× (median of %s: %s ms against %s ms)' "$(calc "${big_start[3840x2160]} / ${big_start[800x600]}")" "$big_runs" "${big_start[3840x2160]}" "${big_start[800x600]}") | $(met "${big_start[3840x2160]} <= 1.5 * ${big_start[800x600]}") |
| The same start at 7680×4320, against 800×600 | – | $(printf '%.2f× (%s ms)' "$(calc "${big_start[7680x4320]} / ${big_start[800x600]}")" "${big_start[7680x4320]}") | – |
| Load + lay out + show a dialog from its definition (frmYesNo with the manual notice) | median ≤ 1 ms, p90 ≤ 1.5 ms | FLTK, Load to on the screen: median $dialog_drawn ms (p90 $dialog_p90 ms; Load to Show's return $dialog_call ms); headless: $dialog_headless µs | $(met "$dialog_drawn <= 1 && $dialog_p90 <= 1.5") |
| CPU during the 20 s wait, share of one core (the scheduler's count) | ≤ 0.3 % (busy loop: 100 %) | $(printf '%.3f %% (%.0f wake-ups/s; by utime+stime ticks %.2f %%; busy loop %.1f %%; the X server %.2f %%)' "$cpu_launcher_ns" "$wakeups_per_s" "$cpu_launcher" "$cpu_busy" "$cpu_xvfb") | $(met "$cpu_launcher_ns <= 0.3") |
| End of the wait: how late the busy loop sees its deadline | ≤ 50 ms | median $late_median ms, max $late_max ms (30 waits) | $(met "$late_max <= 50") |
| Key press → handled during the wait (XTest Return → click handler) | ≤ 20 ms | median $key_median ms, max $key_max ms (20 presses) | $(met "$key_max <= 20") |
| Peak RSS of the Linux launcher through the whole sequence (VmHWM), against the bare window | ≤ 1.4× | $(printf '%.2f× (%.1f MB against %.1f MB)' "$rss_ratio" "$hwm_mb" "$bare_hwm_mb") | $(met "$rss_ratio <= 1.4") |
| The same peak RSS at 3840×2160 and 7680×4320, against 800×600 | ≤ 1.5× | $(printf '%.2f× and %.2f× (%.1f MB and %.1f MB)' "$(calc "${big_hwm_kb[3840x2160]} / $hwm_kb")" "$(calc "${big_hwm_kb[7680x4320]} / $hwm_kb")" "$(calc "${big_hwm_kb[3840x2160]} * 1024 / 1e6")" "$(calc "${big_hwm_kb[7680x4320]} * 1024 / 1e6")") | $(met "${big_hwm_kb[3840x2160]} <= 1.5 * $hwm_kb && ${big_hwm_kb[7680x4320]} <= 1.5 * $hwm_kb") |
| Size of the static START.EXE with all artwork | ≤ 1.2 MB | $(if [[ -n $exe ]]; then printf '%.2f MB (%s bytes, %s)' "$(calc "$exe_bytes / 1e6")" "$exe_bytes" "$exe_from"; else echo "not built"; fi) | $(if [[ -n $exe ]]; then met "$exe_bytes <= 1200000"; else echo "–"; fi) |
$(wine_rows)
EOF
