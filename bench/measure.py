"""What bench/run.py and bench/wine.py measure with: the benchmark's build
tree, a screen (Xvfb) of its own for each program, the kernel's counters of a
process, draw_probe and the walk of the accept path, the setup's wait from the
tests' table of the sequence, and the Markdown table the figures end in.
"""
import contextlib
import glob
import os
import re
import signal
import statistics
import subprocess as sp
import sys
import time
from dataclasses import dataclass
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
BUILD = ROOT / "build-bench"
BIN = BUILD / "bench"
LAYOUTS = BUILD / "tests" / "harness" / "layouts"  # where the walk's driver reads the windows' figures
SEQUENCE_TABLE = ROOT / "tests" / "sequence" / "walks.txt"
START_RUNS, BIG_RUNS = 11, 7
BIG_SIZES = ("3840x2160", "7680x4320")
SIZES = ("800x600", *BIG_SIZES)
# Points of the welcome picture clear of the inset and the offer dialog, and
# three of the inset; both programs show welcome.jpg unscaled at (0,0).
WELCOME = "380,20 600,80 700,250 780,40 360,300 100,450 780,580 200,580 450,580 10,300 350,200 560,330".split()
INSET = "180,200 100,320 300,60".split()

children = []  # killed at the end if still running


def note(text): print(f"\n== {text}", flush=True)
def warn(text): print(f"warning: {text}", file=sys.stderr, flush=True)
def mb(kb): return kb * 1024 / 1e6
def load(): return " ".join(open("/proc/loadavg").read().split()[:3])


def wait_seconds(table=SEQUENCE_TABLE):
    """How long the launcher waits after it has started a setup, as the tests' table says."""
    for line in open(table):
        if found := re.fullmatch(r"wait-seconds[ \t]+([0-9]+)", line.rstrip("\n")):
            return int(found[1])
    sys.exit(f'{table}: no line "wait-seconds N"')


def run(*cmd, **kw):
    return sp.run([str(c) for c in cmd], check=True, text=True, stdout=sp.PIPE, **kw).stdout


def spawn(*cmd, **kw):
    children.append(sp.Popen([str(c) for c in cmd], **kw))
    return children[-1]


def kill_children():
    for child in children:
        if child.poll() is None:
            child.kill()


def with_env(more=None, **env):  # this process's environment, and more
    return {**os.environ, **(more or {}), **{k: str(v) for k, v in env.items()}}


def field(out, prefix, key):  # the value after "key=" on the first line that starts with prefix
    line = next(l for l in out.splitlines() if l.startswith(prefix))
    return float(dict(t.split("=", 1) for t in line.split() if "=" in t)[key])


@dataclass
class Series:  # of milliseconds
    median: float
    p90: float
    count: int


def series(values):
    v = sorted(values)
    return Series(statistics.median(v), v[min(len(v) * 9 // 10, len(v) - 1)], len(v)) if v else Series(0, 0, 0)


@dataclass
class Spread:  # of milliseconds
    median: float
    max: float


def late(out):  # the "late MS" lines of a deadline run
    v = [float(l.split()[1]) for l in out.splitlines() if l.startswith("late ")]
    print(f"late by: median {statistics.median(v):.1f} ms, max {max(v):.1f} ms")
    return Spread(statistics.median(v), max(v))


def key_figure(*cmd, **kw):  # key_sender's presses, each to its handler
    out = on_screen(*cmd, **kw)
    lines = out.splitlines()
    print(" ".join(l for l in lines if not l.startswith("result")), *[l for l in lines if l.startswith("result")],
          sep="\n")
    return Spread(field(out, "result", "median"), field(out, "result", "max"))


@contextlib.contextmanager
def screen(size="800x600"):  # the harness's Xvfb for the block: (DISPLAY, PID)
    display, pid = run("bash", "-c",
                       'XVFB_KEEP=1; source "$1"; start_xvfb "$2"; echo "$XVFB_DISPLAY $XVFB_PID"',
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
    return sum(int(l.split()[1]) for t in proc(pid, "status", threads) for l in t.splitlines()
               if l.startswith(key + ":"))


def cpu_share(pid, threads=True):  # nanoseconds on a CPU, counted so that as a rate it is per cent of a core
    return sum(int(t.split()[0]) for t in proc(pid, "schedstat", threads)) * 100 / 1e9


def wakeups(pid, threads=True):  # times put on a CPU
    return sum(int(t.split()[2]) for t in proc(pid, "schedstat", threads))


def ticks(pid):  # utime + stime, in 1/CLK_TCK s
    return sum(int(x) for x in proc(pid, "stat")[0].rsplit(") ", 1)[1].split()[11:13])


def sample(seconds, **counters):  # each counter's rate over the seconds, and "span": the seconds it took
    t0, before = time.time(), {k: f() for k, f in counters.items()}
    time.sleep(seconds)
    t1, after = time.time(), {k: f() for k, f in counters.items()}
    return {"span": t1 - t0, **{k: (after[k] - before[k]) / (t1 - t0) for k in counters}}


def probe(runs, cases, *opts, wrap=(), before=None):
    """draw_probe on cases (NAME SIZE FOLDER POINTS COMMAND), each on a screen of its own; before(DISPLAY)
    once the last one is up."""
    with contextlib.ExitStack() as screens:
        args = [a for name, size, folder, points, command in cases for a in
                ("--case", name, screens.enter_context(screen(size))[0], folder, " ".join(points), command)]
        before and before(args[-4])
        return run(*wrap, BIN / "draw_probe", "--runs", runs, *opts, *args)


@dataclass
class StartFigure:  # milliseconds to the welcome picture drawn, and of CPU used by then
    launcher: float
    bare: float
    cpu_launcher: float
    cpu_bare: float

    @property
    def ratio(self): return self.launcher / self.bare

    @property
    def cpu_ratio(self): return self.cpu_launcher / self.cpu_bare

    def summary(self):  # for the table's "Measured"
        return (f"{self.ratio:.2f}× (median of {START_RUNS}: {self.launcher:.1f} ms against {self.bare:.1f} ms; "
                f"CPU used by then {self.cpu_launcher:.1f} ms against {self.cpu_bare:.1f} ms, {self.cpu_ratio:.2f}×)")


def start_figure(out, launcher, bare):  # from draw_probe's cases "launcher" and "bare"
    print("\n".join(l for l in out.splitlines() if not l.startswith("reference")))
    ref = {tuple(l.split()[1:3]): l.split()[3] for l in out.splitlines() if l.startswith("reference")}
    differ = [p for p in WELCOME if (a := ref.get(("launcher", p))) and (b := ref.get(("bare", p))) and a != b]
    if differ:  # both show the same picture at the shared points, or the comparison is void
        warn(f"{launcher} and {bare} show different pixels at {' '.join(differ)}")
    f = StartFigure(field(out, "result launcher ", "median"), field(out, "result bare ", "median"),
                    field(out, "result launcher ", "cpu_median"), field(out, "result bare ", "cpu_median"))
    print(f"{launcher} median {f.launcher:.1f} ms, {bare} median {f.bare:.1f} ms: {f.ratio:.2f}x; "
          f"CPU by then {f.cpu_launcher:.1f} ms against {f.cpu_bare:.1f} ms: {f.cpu_ratio:.2f}x")
    return f


def walk(size, hooks, *args, env=None):
    """Walks the accept path (bench/walk.sh) on a screen of its own; hooks[STEP](PID, DISPLAY, XVFB_PID)
    run where the walk is; hooks["screen"] once the screen is up, and hooks["ended"] once the launcher has
    ended, on the same screen."""
    def hook(name, *at): hooks.get(name, lambda *_: None)(*at)
    with screen(size) as (display, xvfb_pid):
        hook("screen", None, display, xvfb_pid)
        walker = spawn("bash", ROOT / "bench/walk.sh", *args, stdin=sp.PIPE, stdout=sp.PIPE, text=True,
                       env=with_env(env, DISPLAY=display, DRIVER_LAYOUTS=LAYOUTS))
        exit_status = "none"
        for line in walker.stdout:
            word = line.split()
            if word[:1] == ["walk"]:
                hook(word[1], int(word[-1]), display, xvfb_pid)
                walker.stdin.write("\n")
                walker.stdin.flush()
            elif word[:1] == ["ended"]:
                exit_status = word[1]
            else:
                print(line, end="")
        if walker.wait() != 0:
            sys.exit(f"the walk at {size} failed")
        hook("ended", None, display, xvfb_pid)
    if exit_status != "0":
        warn(f"the launcher ended with status {exit_status} at {size}")


@dataclass
class Peak:  # kB: VmHWM, and VmRSS and RssShmem when it was read
    hwm: int
    rss: int
    shm: int

    @classmethod
    def of(cls, pid): return cls(status(pid, "VmHWM"), status(pid, "VmRSS"), status(pid, "RssShmem"))


def peak_hooks(peaks, size):  # the walk's hook that puts the launcher's peak in peaks[size]
    def closing(pid, *_):  # every window has been shown by now; the peak cannot grow once Ende is clicked
        time.sleep(0.7)
        peaks[size] = Peak.of(pid)
    return {"closing": closing}


def bare_peak(*cmd, settle, size="800x600", env=None, before=None, **kw):
    """A yardstick's peak once drawn: after settle seconds, and once its peak has not grown for a second (a
    big screen takes longer to draw)."""
    with screen(size) as (display, _):
        before and before(display)
        bare = spawn(*cmd, env=with_env(env, DISPLAY=display), **kw)
        time.sleep(settle)
        for _ in range(30):
            hwm = status(bare.pid, "VmHWM")
            time.sleep(1)
            if status(bare.pid, "VmHWM") == hwm:
                break
        peak = Peak.of(bare.pid)
        bare.terminate()
        bare.wait()
    return peak


def cmake_build(tree, *targets, build_type="RelWithDebInfo", toolchain=None):
    # The toolchain file counts only when the tree is first configured.
    first = ([f"-DCMAKE_TOOLCHAIN_FILE={ROOT / 'cmake' / toolchain}"]
             if toolchain and not (tree / "CMakeCache.txt").exists() else [])
    configure = ["cmake", "-S", ROOT, "-B", tree, *first, f"-DCMAKE_BUILD_TYPE={build_type}", "-DSTART_TESTS=OFF"]
    build = ["cmake", "--build", tree, f"-j{os.cpu_count()}", "--target", *targets]
    return not sp.run(configure, stdout=sp.DEVNULL).returncode and not sp.run(build, stdout=sp.DEVNULL).returncode


@dataclass
class Row:  # of the README's table
    figure: str
    goal: str
    measured: str
    met: bool | None  # None: no goal


def table(rows):
    def met(ok): return "–" if ok is None else "yes" if ok else "**no**"
    lines = ["| Figure | Goal | Measured | Met? |", "|---|---|---|---|"]
    lines += [f"| {r.figure} | {r.goal} | {r.measured} | {met(r.met)} |" for r in rows]
    return "\n".join(lines)
