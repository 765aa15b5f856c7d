#!/usr/bin/env python3
"""Process-level benchmark of the launcher.

Builds a Release tree in build-bench/, measures every figure against a
yardstick run side by side on this machine in this run, and ends with a
Markdown table for the README. Each program under test gets its own Xvfb
(800x600x24 unless a bigger screen is the point, 96 dpi, no window manager).
Then the same figures of START.EXE under wine against Win32 yardsticks of
our own (a figure under wine is wine's, so each goal is a ratio), on the
Windows build this machine can run, said in the output. About ten minutes
once built, half of them under wine.
  bench/run.py             everything
  bench/run.py --windows   only the figures under wine, and their rows
  bench/run.py --linux     only the Linux figures, and their rows
The accept path is walked by bench/walk.sh, on the shared driver; the
helpers both scripts measure with are in bench/measure.py.
"""
import json
import os
import shutil
import subprocess as sp
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path

import wine  # bench/wine.py: the figures under wine
from measure import (BIG_RUNS, BIG_SIZES, BIN, BUILD, INSET, ROOT, SIZES, START_RUNS, WELCOME, Row, Spread,
                     StartFigure, bare_peak, cmake_build, cpu_share, field, key_figure, kill_children, late, load,
                     mb, note, on_screen, peak_hooks, probe, run, sample, spawn, start_figure, table, ticks,
                     wait_seconds, wakeups, walk, warn)

# The welcome points clear of the offer dialog, scaled with the screen (the
# picture is stretched over it).
CLEAR = "380,20 600,80 780,40 10,300 100,450 200,580 450,580 780,580".split()
# A private mount namespace where the demo CD folder is bound onto itself, so
# that the launcher finds its program folder at a volume root, as on a CD.
CD_AT_VOLUME_ROOT = ["unshare", *([] if os.getuid() == 0 else ["-r"]), "-m", "--propagation", "private",
                     "sh", "-c", 'mount --bind "$1" "$1" && shift && exec "$@"', "sh", str(BUILD / "cd")]


@dataclass
class Dialog:  # milliseconds from Load to on the screen, and to Show's return
    drawn_median: float
    drawn_p90: float
    load_show_median: float


@dataclass
class WaitCpu:  # over span seconds of the setup's wait: per cent of a core, ticks and wake-ups per second
    span: float
    launcher: float  # by its utime+stime ticks
    xvfb: float
    busy: float
    launcher_ticks: float
    scheduler: float  # the launcher by the scheduler's ns count
    wakeups: float


@dataclass
class LinuxFigures:
    start: StartFigure
    big_start: dict  # milliseconds to the picture drawn, median, by screen size
    dialog: Dialog
    headless_us: float
    key: Spread
    late: Spread
    cpu: WaitCpu
    peaks: dict  # the launcher's Peak by screen size
    bare_hwm: int  # kB


def start_on_big_screens():
    def scaled(size):
        w, h = map(int, size.split("x"))
        return [f"{int(p.split(',')[0]) * w // 800},{int(p.split(',')[1]) * h // 600}" for p in CLEAR]
    out = probe(BIG_RUNS, [(f"s{s}", s, BUILD / "cd", scaled(s), "./start") for s in SIZES],
                "--settle", 6, "--timeout", 20, wrap=CD_AT_VOLUME_ROOT)
    print("\n".join(l for l in out.splitlines() if l.startswith("result")))
    ms = {s: field(out, f"result s{s} ", "median") for s in SIZES}
    for s in BIG_SIZES:
        print(f"{s}: median {ms[s]:.1f} ms against {ms['800x600']:.1f} ms at 800x600: {ms[s] / ms['800x600']:.2f}x")
    return ms


def headless_dialog_us():
    with tempfile.NamedTemporaryFile(suffix=".json") as out:
        run(BIN / "bench_runtime", "--benchmark_filter=^BM_DialogFromDefinition$", f"--benchmark_out={out.name}",
            "--benchmark_out_format=json", stderr=sp.DEVNULL)
        bench = json.load(open(out.name))["benchmarks"][0]
    return bench["real_time"] * {"ns": 0.001, "us": 1, "ms": 1000}.get(bench["time_unit"], 1e6)


def whole_sequence(wait):
    """The CPU of the launcher's wait against a busy loop, and its peaks through the whole sequence."""
    busy, hz, wait_started, cpu = None, os.sysconf("SC_CLK_TCK"), 0.0, None
    side_by_side = os.cpu_count() >= 2  # the busy loop at the same time when a core is free for it, else after

    def accepted(*_):  # "&Ja" on the offer: the wait starts
        nonlocal busy, wait_started
        wait_started = time.time()
        if side_by_side:
            busy = spawn(BIN / "busy_loop", wait - 2)  # ends before the wait does

    def acrobat_setup(pid, _, xvfb_pid):  # past the offer's unloading and the start of the Acrobat Reader setup
        nonlocal cpu
        time.sleep(max(0, 2 - (time.time() - wait_started)))
        cpu = WaitCpu(**sample(15, launcher=lambda: ticks(pid) * 100 / hz, xvfb=lambda: ticks(xvfb_pid) * 100 / hz,
                                busy=lambda: ticks(busy.pid) * 100 / hz if busy else 0,
                                launcher_ticks=lambda: ticks(pid), scheduler=lambda: cpu_share(pid, False),
                                wakeups=lambda: wakeups(pid, False)))
        if time.time() - wait_started >= wait:
            warn(f"the sample window reached past the {wait} s wait")

    peaks = {}
    walk("800x600", {"accepted": accepted, "acrobat-setup": acrobat_setup,
                     "manual-notice": lambda *_: busy and busy.wait(), **peak_hooks(peaks, "800x600")}, BUILD / "cd")
    for s in BIG_SIZES:
        walk(s, peak_hooks(peaks, s), BUILD / "cd")
    if not side_by_side:
        busy = spawn(BIN / "busy_loop", 17)
        time.sleep(1)
        cpu.busy = sample(15, busy=lambda: ticks(busy.pid) * 100 / hz)["busy"]
        busy.wait()
    print(f"CPU over {cpu.span:.1f} s of the wait: launcher {cpu.launcher:.2f} % "
          f"({cpu.launcher_ticks * cpu.span:.0f} ticks of 1/{hz} s; by the scheduler's ns count {cpu.scheduler:.3f} %, "
          f"{cpu.wakeups:.0f} wake-ups/s), its Xvfb {cpu.xvfb:.2f} %, "
          f"busy loop {cpu.busy:.1f} % ({'same 15 s' if side_by_side else 'the 15 s after'})")
    return cpu, peaks


def linux_figures(wait):
    note("Start: process start to the welcome window drawn, launcher against a bare FLTK window decoding with "
         f"libjpeg-turbo ({START_RUNS} runs each, interleaved)")
    start = start_figure(probe(START_RUNS, [("launcher", "800x600", BUILD / "cd", WELCOME + INSET, "./start"),
                                            ("bare", "800x600", BIN, WELCOME, BIN / "bare_window")],
                               wrap=CD_AT_VOLUME_ROOT),
                         "launcher", "bare window")

    note(f"Start on bigger screens: the launcher at 800x600, {' '.join(BIG_SIZES)} ({BIG_RUNS} runs each, "
         "interleaved)")
    big_start = start_on_big_screens()

    note("Dialog: load, lay out and show frmYesNo with the manual notice on FLTK until drawn, 200 times")
    out = on_screen(BIN / "dialog_show", 200)
    print(out, end="")
    dialog = Dialog(field(out, "drawn_ms", "median"), field(out, "drawn_ms", "p90"),
                    field(out, "load_show_ms", "median"))
    headless_us = headless_dialog_us()
    print(f"headless (bench_runtime BM_DialogFromDefinition): {headless_us:.1f} us")

    note("Key latency: Return by XTest to the default button's click handler, during the setup's busy wait "
         "(20 presses)")
    key = key_figure(BIN / "key_sender", 20, BIN / "key_wait_window")
    note("End of the busy wait: how late the same loop sees a deadline passed, without input (30 waits)")
    deadlines = late(on_screen(BIN / "key_wait_window", "--deadlines", 30))

    note(f"Whole sequence of the launcher from the demo CD: CPU during the {wait} s wait, peak RSS (at 800x600 and "
         f"{' '.join(BIG_SIZES)})")
    bare_hwm = bare_peak(BIN / "bare_window", settle=2).hwm  # the yardstick: the bare window of the start figure
    cpu, peaks = whole_sequence(wait)
    hwm = peaks["800x600"].hwm
    print(f"peak RSS (VmHWM at the closing window): {hwm} kB = {mb(hwm):.1f} MB; RSS then {peaks['800x600'].rss} kB; "
          f"bare window {bare_hwm} kB = {mb(bare_hwm):.1f} MB: {hwm / bare_hwm:.2f}x")
    for s in BIG_SIZES:
        big = peaks[s].hwm
        print(f"peak RSS at {s}: {big} kB = {mb(big):.1f} MB, {big / hwm:.2f}x that at 800x600")
    return LinuxFigures(start, big_start, dialog, headless_us, key, deadlines, cpu, peaks, bare_hwm)


def exe_size():  # START.EXE's bytes and the tree it is in, or None
    note("Size of the static START.EXE")
    exe, where = ROOT / "build-win32/cd/START.EXE", "build-win32/"
    # not older than any source it is built from, or built here
    if not exe.exists() or run("find", "runtime", "forms", "setup", "dialogs", "cmake", "-type", "f",
                               "-newer", exe, cwd=ROOT):
        exe, where = ROOT / "build-bench-win32/cd/START.EXE", "build-bench-win32/"
        built = shutil.which("i686-w64-mingw32-g++") and (ROOT / "cmake/mingw-i686.cmake").exists()
        if built:
            print(f"building the Windows build into {where}", flush=True)
            built = cmake_build(ROOT / where, "democd", toolchain="mingw-i686.cmake")
        exe = exe if built else None
    if not exe or not exe.exists():
        print("not built")
        return None
    with tempfile.TemporaryDirectory() as tmp:
        stripped = Path(tmp) / "start-stripped.exe"
        if sp.run(["i686-w64-mingw32-strip", "-o", stripped, exe], stderr=sp.DEVNULL).returncode:
            shutil.copy(exe, stripped)
        artwork = sum(p.stat().st_size for p in (ROOT / "forms/pictures").iterdir())
        print(f"{exe.relative_to(ROOT)}: {exe.stat().st_size} bytes (artwork files {artwork} bytes; "
              f"with all symbols stripped {stripped.stat().st_size} bytes)")
    return exe.stat().st_size, where


def linux_rows(f, exe, wait):
    s, cpu, dialog, hwm, bare = f.start, f.cpu, f.dialog, f.peaks["800x600"].hwm, f.bare_hwm
    at800, at4k, at8k = (f.big_start[z] for z in SIZES)
    hwm4k, hwm8k = (f.peaks[z].hwm for z in BIG_SIZES)
    return [
        Row("Process start → welcome window drawn (FLTK, Xvfb), against a bare FLTK window showing welcome.jpg "
            "decoded by libjpeg-turbo", "≤ 1.25×", s.summary(), s.ratio <= 1.25),
        Row("The same start at 3840×2160, against 800×600", "≤ 1.5×",
            f"{at4k / at800:.2f}× (median of {BIG_RUNS}: {at4k:.1f} ms against {at800:.1f} ms)", at4k <= 1.5 * at800),
        Row("The same start at 7680×4320, against 800×600", "–", f"{at8k / at800:.2f}× ({at8k:.1f} ms)", None),
        Row("Load + lay out + show a dialog from its definition (frmYesNo with the manual notice)",
            "median ≤ 1 ms, p90 ≤ 1.5 ms",
            f"FLTK, Load to on the screen: median {dialog.drawn_median:.3f} ms (p90 {dialog.drawn_p90:.3f} ms; "
            f"Load to Show's return {dialog.load_show_median:.3f} ms); headless: {f.headless_us:.1f} µs",
            dialog.drawn_median <= 1 and dialog.drawn_p90 <= 1.5),
        Row(f"CPU during the {wait} s wait, share of one core (the scheduler's count)", "≤ 0.3 % (busy loop: 100 %)",
            f"{cpu.scheduler:.3f} % ({cpu.wakeups:.0f} wake-ups/s; by utime+stime ticks {cpu.launcher:.2f} %; "
            f"busy loop {cpu.busy:.1f} %; the X server {cpu.xvfb:.2f} %)", cpu.scheduler <= 0.3),
        Row("End of the wait: how late the busy loop sees its deadline", "≤ 50 ms",
            f"median {f.late.median:.1f} ms, max {f.late.max:.1f} ms (30 waits)", f.late.max <= 50),
        Row("Key press → handled during the wait (XTest Return → click handler)", "≤ 20 ms",
            f"median {f.key.median:.3f} ms, max {f.key.max:.3f} ms (20 presses)", f.key.max <= 20),
        Row("Peak RSS of the Linux launcher through the whole sequence (VmHWM), against the bare window", "≤ 1.4×",
            f"{hwm / bare:.2f}× ({mb(hwm):.1f} MB against {mb(bare):.1f} MB)", hwm <= 1.4 * bare),
        Row("The same peak RSS at 3840×2160 and 7680×4320, against 800×600", "≤ 1.5×",
            f"{hwm4k / hwm:.2f}× and {hwm8k / hwm:.2f}× ({mb(hwm4k):.1f} MB and {mb(hwm8k):.1f} MB)",
            hwm4k <= 1.5 * hwm and hwm8k <= 1.5 * hwm),
        Row("Size of the static START.EXE with all artwork", "≤ 1.2 MB",
            f"{exe[0] / 1e6:.2f} MB ({exe[0]} bytes, {exe[1]})" if exe else "not built",
            exe[0] <= 1_200_000 if exe else None),
    ]


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if mode not in ("", "--windows", "--linux"):
        sys.exit(__doc__)
    sp.run([ROOT / "tools/install-deps.sh", "--tests"], check=True)
    note("Building (Release) into build-bench/")
    if not cmake_build(BUILD, "democd", "bench_runtime", "busy_loop", "draw_probe", "bare_window", "dialog_show",
                       "dialog_watch", "key_wait_window", "key_sender", "layouts", build_type="Release"):
        sys.exit("the build failed")
    wait, start_load = wait_seconds(), load()
    linux = linux_figures(wait) if mode != "--windows" else None
    windows_said, windows = wine.measure(wait) if mode != "--linux" else ("not measured (left out by --linux)", None)
    if linux:
        exe = exe_size()
        note("bench_runtime (Google Benchmark, headless backend)")
        print("\n".join(l for l in run(BIN / "bench_runtime", stderr=sp.STDOUT).splitlines()
                        if not l.startswith("***WARNING")))
    note("Result")
    cpu = next((l.split(": ", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")),
               "unknown CPU")
    when = time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())
    print(f"\nMeasured by `bench/run.py{' ' + mode if mode else ''}` on {when}, "
          f"{os.cpu_count()} cores{', ' + cpu if linux else ''}, load average {start_load} at the start and "
          f"{load()} at the end"
          f"{'; each figure against a yardstick run side by side in the same run (1 MB = 10^6 bytes)' if linux else ''}"
          f". Windows: {windows_said}.")
    print()
    print(table((linux_rows(linux, exe, wait) if linux else []) + (wine.rows(windows, wait) if windows else [])))


if __name__ == "__main__":
    try:
        main()
    finally:
        kill_children()
