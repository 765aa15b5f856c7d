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
The accept path is walked by bench/walk.sh, on the shared driver.
"""
import contextlib, glob, json, os, shutil, signal, statistics, subprocess as sp, sys, tempfile, time
from pathlib import Path
from types import SimpleNamespace
import wine  # bench/wine.py: the figures under wine

ROOT = Path(__file__).resolve().parent.parent
BUILD, BIN = ROOT / "build-bench", ROOT / "build-bench" / "bench"
LAYOUTS = BUILD / "tests" / "harness" / "layouts"  # where the walk's driver reads the windows' figures
START_RUNS, BIG_RUNS, BIG_SIZES = 11, 7, ("3840x2160", "7680x4320")
# Points of the welcome picture clear of the inset and the offer dialog, and
# three of the inset; both programs show welcome.jpg unscaled at (0,0).
WELCOME = "380,20 600,80 700,250 780,40 360,300 100,450 780,580 200,580 450,580 10,300 350,200 560,330".split()
INSET = "180,200 100,320 300,60".split()
# The welcome points clear of the offer dialog, scaled with the screen (the
# picture is stretched over it).
CLEAR = "380,20 600,80 780,40 10,300 100,450 200,580 450,580 780,580".split()
# A private mount namespace where the demo CD folder is bound onto itself, so
# that the launcher finds its program folder at a volume root, as on a CD.
NS = ["unshare", *([] if os.getuid() == 0 else ["-r"]), "-m", "--propagation", "private",
      "sh", "-c", 'mount --bind "$1" "$1" && shift && exec "$@"', "sh", str(BUILD / "cd")]
kids = []


def note(s): print(f"\n== {s}", flush=True)
def warn(s): print(f"warning: {s}", file=sys.stderr, flush=True)
def met(ok): return "yes" if ok else "**no**"
def mb(kb): return kb * 1024 / 1e6
def load(): return " ".join(open("/proc/loadavg").read().split()[:3])


def run(*cmd, **kw):
    return sp.run([str(c) for c in cmd], check=True, text=True, stdout=sp.PIPE, **kw).stdout


def spawn(*cmd, **kw):
    kids.append(sp.Popen([str(c) for c in cmd], **kw))
    return kids[-1]


def with_env(more=None, **env):  # this process's environment, and more
    return {**os.environ, **(more or {}), **{k: str(v) for k, v in env.items()}}


def field(out, prefix, key):  # the value after "key=" on the first line that starts with prefix
    line = next(l for l in out.splitlines() if l.startswith(prefix))
    return float(dict(t.split("=", 1) for t in line.split() if "=" in t)[key])


def series(values):  # median, p90 and count
    v = sorted(values)
    return (statistics.median(v), v[min(len(v) * 9 // 10, len(v) - 1)], len(v)) if v else (0, 0, 0)


def late(out):  # median and maximum of the "late MS" lines of a deadline run
    v = [float(l.split()[1]) for l in out.splitlines() if l.startswith("late ")]
    print(f"late by: median {statistics.median(v):.1f} ms, max {max(v):.1f} ms")
    return statistics.median(v), max(v)


@contextlib.contextmanager
def screen(size="800x600"):  # the harness's Xvfb for the block: (DISPLAY, PID)
    display, pid = run("bash", "-c", 'XVFB_KEEP=1; source "$1"; start_xvfb "$2"; echo "$XVFB_DISPLAY $XVFB_PID"',
                       "bash", ROOT / "tests/harness/harness.sh", size).split()
    try:
        yield display, int(pid)
    finally:
        os.kill(int(pid), signal.SIGTERM)
        for _ in range(100):  # until gone, or left a zombie
            if "".join(proc(pid, "stat")).rsplit(") ", 1)[-1][:1] in ("", "Z"):
                break
            time.sleep(0.05)


def on_screen(*cmd, env=None, before=None, **kw):  # a program's output, run on a screen of its own
    with screen() as (display, _):
        before and before(display)
        return run(*cmd, env=with_env(env, DISPLAY=display), **kw)


def proc(pid, name, threads=False):  # /proc/PID/NAME, or that of each of its threads
    texts = []
    for path in glob.glob(f"/proc/{pid}/task/*/{name}") if threads else [f"/proc/{pid}/{name}"]:
        try:
            texts.append(open(path).read())
        except OSError:  # a thread that has just ended
            pass
    return texts


def status(pid, key, threads=False):  # a figure of /proc/PID/status (summed over threads)
    return sum(int(l.split()[1]) for t in proc(pid, "status", threads) for l in t.splitlines() if l.startswith(key + ":"))


def cpu_share(pid, threads=True):  # the scheduler's count of time on a CPU in 1/100 s: as a rate, per cent of a core
    return sum(int(t.split()[0]) for t in proc(pid, "schedstat", threads)) * 100 / 1e9


def wakeups(pid, threads=True):  # times put on a CPU
    return sum(int(t.split()[2]) for t in proc(pid, "schedstat", threads))


def ticks(pid):  # utime + stime, in 1/CLK_TCK s
    return sum(int(x) for x in proc(pid, "stat")[0].rsplit(") ", 1)[1].split()[11:13])


def sample(seconds, **counters):  # each counter's rate over the seconds, and the span
    t0, a = time.time(), {k: f() for k, f in counters.items()}
    time.sleep(seconds)
    t1, b = time.time(), {k: f() for k, f in counters.items()}
    return SimpleNamespace(span=t1 - t0, **{k: (b[k] - a[k]) / (t1 - t0) for k in counters})


def probe(runs, cases, *opts, wrap=(), before=None):
    """draw_probe on cases (NAME SIZE FOLDER POINTS COMMAND), each on a screen of its own; before(DISPLAY)
    once the last one is up."""
    with contextlib.ExitStack() as screens:
        args = [a for name, size, folder, points, command in cases for a in
                ("--case", name, screens.enter_context(screen(size))[0], folder, " ".join(points), command)]
        before and before(args[-4])
        return run(*wrap, BIN / "draw_probe", "--runs", runs, *opts, *args)


def start_figure(out, launcher, bare):
    print("\n".join(l for l in out.splitlines() if not l.startswith("reference")))
    ref = {tuple(l.split()[1:3]): l.split()[3] for l in out.splitlines() if l.startswith("reference")}
    differ = [p for p in WELCOME if (a := ref.get(("launcher", p))) and (b := ref.get(("bare", p))) and a != b]
    if differ:  # both show the same picture at the shared points, or the comparison is void
        warn(f"{launcher} and {bare} show different pixels at {' '.join(differ)}")
    f = SimpleNamespace(**{k: field(out, f"result {c} ", m) for k, c, m in (
        ("launcher", "launcher", "median"), ("bare", "bare", "median"),
        ("cpu_launcher", "launcher", "cpu_median"), ("cpu_bare", "bare", "cpu_median"))})
    f.ratio, f.cpu_ratio = f.launcher / f.bare, f.cpu_launcher / f.cpu_bare
    print(f"{launcher} median {f.launcher:.1f} ms, {bare} median {f.bare:.1f} ms: {f.ratio:.2f}x; "
          f"CPU by then {f.cpu_launcher:.1f} ms against {f.cpu_bare:.1f} ms: {f.cpu_ratio:.2f}x")
    return f


def walk(size, hooks, *args, env=None):
    """Walks the accept path (bench/walk.sh) on a screen of its own; hooks[STEP](PID, DISPLAY, XVFB_PID)
    run where the walk is; hooks["screen"] once the screen is up, and hooks["ended"] once the launcher has
    ended, on the same screen."""
    with screen(size) as (display, xpid):
        hooks.get("screen", lambda *_: None)(None, display, xpid)
        walker = spawn("bash", ROOT / "bench/walk.sh", *args, stdin=sp.PIPE, stdout=sp.PIPE, text=True,
                       env=with_env(env, DISPLAY=display, DRIVER_LAYOUTS=LAYOUTS))
        status = "none"
        for line in walker.stdout:
            word = line.split()
            if word[:1] == ["walk"]:
                hooks.get(word[1], lambda *_: None)(int(word[-1]), display, xpid)
                walker.stdin.write("\n")
                walker.stdin.flush()
            elif word[:1] == ["ended"]:
                status = word[1]
            else:
                print(line, end="")
        if walker.wait() != 0:
            sys.exit(f"the walk at {size} failed")
        hooks.get("ended", lambda *_: None)(None, display, xpid)
    if status != "0":
        warn(f"the launcher ended with status {status} at {size}")


def memory_hooks(m):
    def closing(pid, *_):  # every window has been shown by now; the peak cannot grow once Ende is clicked
        time.sleep(0.7)
        m.hwm, m.rss, m.shm = status(pid, "VmHWM"), status(pid, "VmRSS"), status(pid, "RssShmem")
    return {"closing": closing}


def bare_peak(*cmd, settle, size="800x600", env=None, before=None, **kw):
    """A yardstick's peak RSS and shared part once drawn: after settle seconds, and once its peak has not
    grown for a second (a big screen takes longer to draw)."""
    with screen(size) as (display, _):
        before and before(display)
        bare = spawn(*cmd, env=with_env(env, DISPLAY=display), **kw)
        time.sleep(settle)
        for _ in range(30):
            hwm = status(bare.pid, "VmHWM")
            time.sleep(1)
            if status(bare.pid, "VmHWM") == hwm:
                break
        peak = status(bare.pid, "VmHWM"), status(bare.pid, "RssShmem")
        bare.terminate()
        bare.wait()
    return peak


def linux_figures():
    L = SimpleNamespace()
    note(f"Start: process start to the welcome window drawn, launcher against a bare FLTK window decoding with libjpeg-turbo ({START_RUNS} runs each, interleaved)")
    L.start = start_figure(probe(START_RUNS, [("launcher", "800x600", BUILD / "cd", WELCOME + INSET, "./start"),
                                              ("bare", "800x600", BIN, WELCOME, BIN / "bare_window")], wrap=NS),
                           "launcher", "bare window")

    note(f"Start on bigger screens: the launcher at 800x600, {' '.join(BIG_SIZES)} ({BIG_RUNS} runs each, interleaved)")
    def scaled(size):
        w, h = map(int, size.split("x"))
        return [f"{int(p.split(',')[0]) * w // 800},{int(p.split(',')[1]) * h // 600}" for p in CLEAR]
    out = probe(BIG_RUNS, [(f"s{s}", s, BUILD / "cd", scaled(s), "./start") for s in ("800x600", *BIG_SIZES)],
                "--settle", 6, "--timeout", 20, wrap=NS)
    print("\n".join(l for l in out.splitlines() if l.startswith("result")))
    L.big = {s: field(out, f"result s{s} ", "median") for s in ("800x600", *BIG_SIZES)}
    for s in BIG_SIZES:
        print(f"{s}: median {L.big[s]:.1f} ms against {L.big['800x600']:.1f} ms at 800x600: {L.big[s] / L.big['800x600']:.2f}x")

    note("Dialog: load, lay out and show frmYesNo with the manual notice on FLTK until drawn, 200 times")
    out = on_screen(BIN / "dialog_show", 200)
    print(out, end="")
    L.dialog = [field(out, "drawn_ms", "median"), field(out, "drawn_ms", "p90"), field(out, "load_show_ms", "median")]
    with tempfile.NamedTemporaryFile(suffix=".json") as j:
        run(BIN / "bench_runtime", "--benchmark_filter=^BM_DialogFromDefinition$", f"--benchmark_out={j.name}",
            "--benchmark_out_format=json", stderr=sp.DEVNULL)
        b = json.load(open(j.name))["benchmarks"][0]
    L.headless = b["real_time"] * {"ns": 0.001, "us": 1, "ms": 1000}.get(b["time_unit"], 1e6)  # in µs
    print(f"headless (bench_runtime BM_DialogFromDefinition): {L.headless:.1f} us")

    note("Key latency: Return by XTest to the default button's click handler, during the setup's busy wait (20 presses)")
    L.key = key_figure(BIN / "key_sender", 20, BIN / "key_wait_window")
    note("End of the busy wait: how late the same loop sees a deadline passed, without input (30 waits)")
    L.late = late(on_screen(BIN / "key_wait_window", "--deadlines", 30))

    note(f"Whole sequence of the launcher from the demo CD: CPU during the 20 s wait, peak RSS (at 800x600 and {' '.join(BIG_SIZES)})")
    L.bare_hwm = bare_peak(BIN / "bare_window", settle=2)[0]  # the yardstick: the bare window of the start figure
    busy, hz, m = None, os.sysconf("SC_CLK_TCK"), SimpleNamespace()
    side_by_side = os.cpu_count() >= 2  # the busy loop at the same time when a core is free for it, else after

    def accepted(*_):  # "&Ja" on the offer: the 20 s wait starts
        nonlocal busy
        m.wait_started = time.time()
        if side_by_side:
            busy = spawn(BIN / "busy_loop", 18)

    def acrobat_setup(pid, _, xpid):  # past the offer's unloading and the start of the Acrobat Reader setup
        time.sleep(max(0, 2 - (time.time() - m.wait_started)))
        m.cpu = sample(15, launcher=lambda: ticks(pid) * 100 / hz, xvfb=lambda: ticks(xpid) * 100 / hz,
                       busy=lambda: ticks(busy.pid) * 100 / hz if busy else 0, used=lambda: ticks(pid),
                       ns=lambda: cpu_share(pid, False), wakeups=lambda: wakeups(pid, False))
        if time.time() - m.wait_started >= 20:
            warn("the sample window reached past the 20 s wait")
    hooks = {"accepted": accepted, "acrobat-setup": acrobat_setup, "manual-notice": lambda *_: busy and busy.wait(),
             **memory_hooks(m)}
    walk("800x600", hooks, BUILD / "cd")
    L.hwm, L.rss, L.cpu = m.hwm, m.rss, m.cpu
    L.big_hwm = {}
    for s in BIG_SIZES:
        walk(s, memory_hooks(m), BUILD / "cd")
        L.big_hwm[s] = m.hwm
    if not side_by_side:
        busy = spawn(BIN / "busy_loop", 17)
        time.sleep(1)
        L.cpu.busy = sample(15, busy=lambda: ticks(busy.pid) * 100 / hz).busy
        busy.wait()
    c = L.cpu
    print(f"CPU over {c.span:.1f} s of the wait: launcher {c.launcher:.2f} % ({c.used * c.span:.0f} ticks of 1/{hz} s; "
          f"by the scheduler's ns count {c.ns:.3f} %, {c.wakeups:.0f} wake-ups/s), its Xvfb {c.xvfb:.2f} %, "
          f"busy loop {c.busy:.1f} % ({'same 15 s' if side_by_side else 'the 15 s after'})")
    print(f"peak RSS (VmHWM at the closing window): {L.hwm} kB = {mb(L.hwm):.1f} MB; RSS then {L.rss} kB; "
          f"bare window {L.bare_hwm} kB = {mb(L.bare_hwm):.1f} MB: {L.hwm / L.bare_hwm:.2f}x")
    for s in BIG_SIZES:
        print(f"peak RSS at {s}: {L.big_hwm[s]} kB = {mb(L.big_hwm[s]):.1f} MB, {L.big_hwm[s] / L.hwm:.2f}x that at 800x600")
    return L


def key_figure(*cmd, **kw):
    out = on_screen(*cmd, **kw)
    lines = out.splitlines()
    print(" ".join(l for l in lines if not l.startswith("result")), *[l for l in lines if l.startswith("result")], sep="\n")
    return field(out, "result", "median"), field(out, "result", "max")


def exe_size():
    note("Size of the static START.EXE")
    exe, where = ROOT / "build-win32/cd/START.EXE", "build-win32/"
    # not older than any source it is built from, or built here
    if not exe.exists() or run("find", "runtime", "forms", "setup", "dialogs", "cmake", "-type", "f", "-newer", exe, cwd=ROOT):
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


def cmake_build(tree, *targets, build_type="RelWithDebInfo", toolchain=None):
    # The toolchain file counts only when the tree is first configured.
    first = [f"-DCMAKE_TOOLCHAIN_FILE={ROOT / 'cmake' / toolchain}"] if toolchain and not (tree / "CMakeCache.txt").exists() else []
    return not sp.run(["cmake", "-S", ROOT, "-B", tree, *first, f"-DCMAKE_BUILD_TYPE={build_type}", "-DSTART_TESTS=OFF"],
                      stdout=sp.DEVNULL).returncode and not sp.run(
        ["cmake", "--build", tree, f"-j{os.cpu_count()}", "--target", *targets], stdout=sp.DEVNULL).returncode


def linux_rows(L, exe):
    s, b, d, c = L.start, L.big, L.dialog, L.cpu
    s4, s8, h4, h8 = b["3840x2160"], b["7680x4320"], L.big_hwm["3840x2160"], L.big_hwm["7680x4320"]
    return f"""\
| Process start → welcome window drawn (FLTK, Xvfb), against a bare FLTK window showing welcome.jpg decoded by libjpeg-turbo | ≤ 1.25× | {s.ratio:.2f}× (median of {START_RUNS}: {s.launcher:.1f} ms against {s.bare:.1f} ms; CPU used by then {s.cpu_launcher:.1f} ms against {s.cpu_bare:.1f} ms, {s.cpu_ratio:.2f}×) | {met(s.ratio <= 1.25)} |
| The same start at 3840×2160, against 800×600 | ≤ 1.5× | {s4 / b['800x600']:.2f}× (median of {BIG_RUNS}: {s4:.1f} ms against {b['800x600']:.1f} ms) | {met(s4 <= 1.5 * b['800x600'])} |
| The same start at 7680×4320, against 800×600 | – | {s8 / b['800x600']:.2f}× ({s8:.1f} ms) | – |
| Load + lay out + show a dialog from its definition (frmYesNo with the manual notice) | median ≤ 1 ms, p90 ≤ 1.5 ms | FLTK, Load to on the screen: median {d[0]:.3f} ms (p90 {d[1]:.3f} ms; Load to Show's return {d[2]:.3f} ms); headless: {L.headless:.1f} µs | {met(d[0] <= 1 and d[1] <= 1.5)} |
| CPU during the 20 s wait, share of one core (the scheduler's count) | ≤ 0.3 % (busy loop: 100 %) | {c.ns:.3f} % ({c.wakeups:.0f} wake-ups/s; by utime+stime ticks {c.launcher:.2f} %; busy loop {c.busy:.1f} %; the X server {c.xvfb:.2f} %) | {met(c.ns <= 0.3)} |
| End of the wait: how late the busy loop sees its deadline | ≤ 50 ms | median {L.late[0]:.1f} ms, max {L.late[1]:.1f} ms (30 waits) | {met(L.late[1] <= 50)} |
| Key press → handled during the wait (XTest Return → click handler) | ≤ 20 ms | median {L.key[0]:.3f} ms, max {L.key[1]:.3f} ms (20 presses) | {met(L.key[1] <= 20)} |
| Peak RSS of the Linux launcher through the whole sequence (VmHWM), against the bare window | ≤ 1.4× | {L.hwm / L.bare_hwm:.2f}× ({mb(L.hwm):.1f} MB against {mb(L.bare_hwm):.1f} MB) | {met(L.hwm <= 1.4 * L.bare_hwm)} |
| The same peak RSS at 3840×2160 and 7680×4320, against 800×600 | ≤ 1.5× | {h4 / L.hwm:.2f}× and {h8 / L.hwm:.2f}× ({mb(h4):.1f} MB and {mb(h8):.1f} MB) | {met(h4 <= 1.5 * L.hwm and h8 <= 1.5 * L.hwm)} |
| Size of the static START.EXE with all artwork | ≤ 1.2 MB | {f'{exe[0] / 1e6:.2f} MB ({exe[0]} bytes, {exe[1]})' if exe else 'not built'} | {met(exe[0] <= 1200000) if exe else '–'} |"""


def main():
    mode = sys.argv[1] if len(sys.argv) > 1 else ""
    if mode not in ("", "--windows", "--linux"):
        sys.exit(__doc__)
    sp.run([ROOT / "tools/install-deps.sh", "--tests"], check=True)
    note("Building (Release) into build-bench/")
    if not cmake_build(BUILD, "democd", "bench_runtime", "busy_loop", "draw_probe", "bare_window", "dialog_show",
                       "dialog_watch", "key_wait_window", "key_sender", "layouts", build_type="Release"):
        sys.exit("the build failed")
    start_load = load()
    L = linux_figures() if mode != "--windows" else None
    W = wine.measure(sys.modules[__name__], mode)
    if L:
        exe = exe_size()
        note("bench_runtime (Google Benchmark, headless backend)")
        print("\n".join(l for l in run(BIN / "bench_runtime", stderr=sp.STDOUT).splitlines() if not l.startswith("***WARNING")))
    note("Result")
    cpu = next((l.split(": ", 1)[1].strip() for l in open("/proc/cpuinfo") if l.startswith("model name")), "unknown CPU")
    print(f"\nMeasured by `bench/run.py{' ' + mode if mode else ''}` on {time.strftime('%Y-%m-%d %H:%M UTC', time.gmtime())}, "
          f"{os.cpu_count()} cores{', ' + cpu if L else ''}, load average {start_load} at the start and {load()} at the end"
          f"{'; each figure against a yardstick run side by side in the same run (1 MB = 10^6 bytes)' if L else ''}. "
          f"Windows: {f'the {W.which}' if W.measured else f'not measured ({W.skip})'}.")
    print("\n| Figure | Goal | Measured | Met? |\n|---|---|---|---|")
    if L:
        print(linux_rows(L, exe))
    if W.measured:
        print(wine.rows(sys.modules[__name__], W))


if __name__ == "__main__":
    try:
        main()
    finally:
        for k in kids:
            if k.poll() is None:
                k.kill()
