"""The Windows figures of bench/run.py: START.EXE under wine against Win32
yardsticks of our own run the same way, on the build this machine can run:
the i686 build (the CD's) under wine32 where it runs, else the x86_64 build
under the 64-bit loader.

Three wine prefixes, each with a persistent server of its own: one for the
launcher, one for the yardsticks, and one for the bare program's waiting
passes that run beside the launcher's wait, so that each one's share of
wineserver can be read from its own server's CPU time. No window manager:
wine places, focuses and frames its windows itself.
"""
import os
import shutil
import subprocess as sp
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

from measure import (BIG_SIZES, BIN, INSET, ROOT, SIZES, START_RUNS, WELCOME, Row, Series, Spread, StartFigure,
                     bare_peak, cmake_build, cpu_share, key_figure, late, mb, note, on_screen, peak_hooks, probe,
                     run, sample, screen, series, spawn, start_figure, status, wakeups, walk, with_env)

DIALOG_ROUNDS, DIALOG_PER_ROUND = 3, 20  # the first five showings of each round not counted
PREFIXES = ("launcher", "yardstick", "bare-wait")


@dataclass
class Wine:
    """The build that runs here and the wine it runs under; once prepared, a prefix for each of PREFIXES
    and a server in each."""
    build: Path
    toolchain: str
    loader: str
    server: str
    triplet: str
    which: str  # said in the output
    skip: str = ""  # why nothing is measured
    tag: str = ""  # on each row: which build and which wine
    prefixes: dict = field(default_factory=dict)
    servers: dict = field(default_factory=dict)

    @property
    def cd(self): return self.build / "cd"

    @property
    def bin(self): return self.build / "bench"

    def new_servers(self, display):
        """Fresh servers, on the display: wine's desktop takes the screen's size from the display its first
        program of a session had, so each new display gets new servers."""
        self.kill_servers()
        for server in self.servers.values():
            server.wait()
        self.servers = {k: spawn(self.server, "-f", "-p", env=with_env(WINEPREFIX=p, DISPLAY=display),
                                 stdout=sp.DEVNULL, stderr=sp.DEVNULL) for k, p in self.prefixes.items()}

    def kill_servers(self):
        for prefix in self.prefixes.values():
            sp.run([self.server, "-k"], env=with_env(WINEPREFIX=prefix), stdout=sp.DEVNULL, stderr=sp.DEVNULL)

    def prepare(self, tmp):  # one prefix made by wineboot, the others copies of it
        self.prefixes = {k: os.path.join(tmp, f"wine-{k}") for k in PREFIXES}
        first = self.prefixes["launcher"]
        with screen() as (display, _):
            for cmd in ([self.loader, "wineboot", "-i"], [self.server, "-w"],
                        [self.loader, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/t",
                         "REG_SZ", "/d", "N", "/f"],
                        [self.server, "-w"]):
                sp.run(cmd, env=with_env(DISPLAY=display, WINEPREFIX=first), stdout=sp.DEVNULL, stderr=sp.DEVNULL)
        for k in PREFIXES[1:]:
            sp.run(["cp", "-a", first, self.prefixes[k]], check=True)
        os.symlink(self.cd, os.path.join(first, "dosdevices/d:"))

    def in_prefix(self, prefix, display=None):  # where and how a program of ours runs under wine
        return dict(cwd=self.bin, env=with_env(WINEPREFIX=self.prefixes[prefix],
                                               **({"DISPLAY": display} if display else {})))


def choose():  # decides by trying which build runs, as the test command does
    loader, words = run("bash", "-c", 'source "$1"; w=$(wine32_loader); echo "$w"; '
                        'if [[ -n $w ]]; then wine32_where "$w"; else why_no_wine32; fi',
                        "bash", ROOT / "tools/wine32/runs-32bit.sh").split("\n")[:2]
    if loader:
        wine = Wine(ROOT / "build-bench-win32", "mingw-i686.cmake", loader,
                    os.path.join(os.path.dirname(loader), "wineserver"), "i686",
                    f"i686 build (the CD's) under wine32: 32-bit programs run here and so does {words}")
        os.environ["WINEARCH"] = "win32"
    else:
        wine = Wine(ROOT / "build-bench-win64", "mingw-x86_64.cmake", "/usr/lib/wine/wine64",
                    "/usr/lib/wine/wineserver64", "x86_64", f"x86_64 build under wine64: {words}")
        os.environ.update(WINEARCH="win64", WINELOADER=wine.loader, WINESERVER=wine.server)
    if not os.access(wine.loader, os.X_OK):
        wine.skip = "wine is not installed"
    elif not shutil.which(f"{wine.triplet}-w64-mingw32-g++-posix"):
        wine.skip = f"MinGW-w64 ({wine.triplet}) is not installed"
    os.environ.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    if not wine.skip:
        version = sp.run([wine.loader, "--version"], text=True, stdout=sp.PIPE,
                         stderr=sp.DEVNULL).stdout.strip() or "wine"
        wine.tag = f"{wine.triplet} build, {version} {'wine32' if wine.triplet == 'i686' else 'wine64'}"
    return wine


@dataclass
class WaitCpu:
    """Over span seconds of the setup's wait, in per cent of a core, and per second: START.EXE's threads and
    the bare program's waiting passes beside them, each with its own wineserver; the busy loop, and its
    prefix's server. Then what the servers spend with none of our programs running: wine's own."""
    span: float
    launcher: float
    launcher_wakeups: float
    launcher_sleeps: float  # wake-ups from its own sleeps
    launcher_server: float
    launcher_server_wakeups: float
    bare: float
    bare_wakeups: float
    bare_sleeps: float
    bare_server: float
    bare_server_wakeups: float
    busy_own: float
    yard_server: float
    idle: float = 0  # the launcher's server
    yard_idle: float = 0

    @property
    def server_share(self): return max(0, self.launcher_server - self.idle)

    @property
    def total(self): return self.launcher + self.server_share

    @property
    def upper(self): return self.launcher + self.launcher_server  # all of the server counted

    @property
    def bare_upper(self): return self.bare + self.bare_server

    @property
    def busy(self): return self.busy_own + max(0, self.yard_server - self.yard_idle)


def counters(name, pid, server):  # a program's CPU share, wake-ups and own sleeps, and its server's
    return {name: lambda: cpu_share(pid), f"{name}_wakeups": lambda: wakeups(pid),
            f"{name}_sleeps": lambda: status(pid, "voluntary_ctxt_switches", True),
            f"{name}_server": lambda: cpu_share(server), f"{name}_server_wakeups": lambda: wakeups(server)}


@dataclass
class WineFigures:
    tag: str  # which build and which wine
    start: StartFigure
    dialog: Series
    bare_dialog: Series
    key: Spread
    late: Spread
    cpu: WaitCpu
    peaks: dict  # START.EXE's Peak by screen size
    bare_peaks: dict  # the bare Win32 window's

    @property
    def dialog_ratio(self): return self.dialog.median / self.bare_dialog.median


def start(wine):
    note("Windows start: START.EXE against a bare Win32 window decoding with stb_image, under wine "
         f"({START_RUNS} runs each, interleaved)")
    return start_figure(probe(START_RUNS, [
        ("launcher", "800x600", wine.cd, WELCOME + INSET,
         f"/usr/bin/env WINEPREFIX={wine.prefixes['launcher']} {wine.loader} D:\\START.EXE"),
        ("bare", "800x600", wine.bin, WELCOME,
         f"/usr/bin/env WINEPREFIX={wine.prefixes['yardstick']} {wine.loader} bare_window.exe")],
        "--settle", 10, "--timeout", 20, before=wine.new_servers), "START.EXE", "bare Win32 window")


def dialogs(wine):  # START.EXE's and the bare dialog's
    note("Windows dialog: Load to on the screen, frmYesNo with the manual notice against a bare Win32 dialog with "
         f"the same controls, under wine ({DIALOG_ROUNDS} rounds of {DIALOG_PER_ROUND} each, interleaved)")
    drawn = {"START.EXE": [], "bare dialog": []}
    with screen() as (display, _):
        wine.new_servers(display)
        for _ in range(DIALOG_ROUNDS):
            for who, exe in (("START.EXE", "dialog_cycle.exe"), ("bare dialog", "bare_dialog.exe")):
                out = run(BIN / "dialog_watch", wine.loader, exe, DIALOG_PER_ROUND + 5,
                          **wine.in_prefix("yardstick", display))
                for line in out.splitlines():
                    if line.startswith("drawn "):
                        drawn[who].append(float(line.split()[1]))
                    else:
                        print(f"{who}: {line}")
    launcher, bare = series(drawn["START.EXE"]), series(drawn["bare dialog"])
    print(f"Load to on the screen: START.EXE median {launcher.median:.3f} ms (p90 {launcher.p90:.3f}), "
          f"bare Win32 dialog median {bare.median:.3f} ms (p90 {bare.p90:.3f}): "
          f"{launcher.median / bare.median:.2f}x")
    return launcher, bare


def sequences(wine, wait):  # the CPU of START.EXE's wait, and its peaks through the whole sequence
    note(f"Windows whole sequence of START.EXE from drive D: under wine: CPU and wake-ups during the {wait} s wait "
         f"against a bare Win32 program's waiting passes, peak working set (800x600, {', '.join(BIG_SIZES)})")
    bare_peaks = {size: bare_peak(wine.loader, "bare_window.exe", settle=4, size=size, before=wine.new_servers,
                                  **wine.in_prefix("yardstick")) for size in SIZES}
    peaks, beside, cpu = {}, {}, None

    def accepted(_, display, __):  # the wait starts
        beside["busy"] = spawn(wine.loader, "busy_loop.exe", wait, **wine.in_prefix("yardstick", display))
        beside["bare"] = spawn(wine.loader, "bare_wait.exe", wait, stdout=sp.DEVNULL, stderr=sp.DEVNULL,
                               **wine.in_prefix("bare-wait", display))

    def waiting(pid, *_):  # past the Acrobat Reader stub setup, which closes itself after 4 s
        nonlocal cpu
        time.sleep(1)
        server = {k: p.pid for k, p in wine.servers.items()}
        cpu = WaitCpu(**sample(12, **counters("launcher", pid, server["launcher"]),
                               **counters("bare", beside["bare"].pid, server["bare-wait"]),
                               busy_own=lambda: cpu_share(beside["busy"].pid),
                               yard_server=lambda: cpu_share(server["yardstick"])))
        beside["busy"].wait()
        beside["bare"].wait()

    def ended(*_):
        idle = sample(12, launcher=lambda: cpu_share(wine.servers["launcher"].pid),
                      yard=lambda: cpu_share(wine.servers["yardstick"].pid))
        cpu.idle, cpu.yard_idle = idle["launcher"], idle["yard"]

    for size in SIZES:
        hooks = {"accepted": accepted, "waiting": waiting, "ended": ended} if size == "800x600" else {}
        hooks["screen"] = lambda _, display, __: wine.new_servers(display)
        walk(size, {**hooks, **peak_hooks(peaks, size)}, "--wine", wine.cd, wine.loader, "D:\\START.EXE",
             env={"WINEPREFIX": wine.prefixes["launcher"]})
    c, p, b = cpu, peaks["800x600"], bare_peaks["800x600"]
    print(f"CPU over {c.span:.1f} s of the wait: START.EXE {c.launcher:.3f} % + its wineserver {c.server_share:.3f} % "
          f"(the server {c.launcher_server:.3f} %, less {c.idle:.3f} % it spends idle) = {c.total:.3f} % "
          f"(all of the server counted: {c.upper:.3f} %); busy loop {c.busy:.1f} %")
    print(f"the bare waiting passes, the same 12 s: {c.bare:.3f} % + all of their wineserver {c.bare_server:.3f} % = "
          f"{c.bare_upper:.3f} %: START.EXE {c.upper / c.bare_upper:.2f}x")
    print(f"wake-ups: START.EXE {c.launcher_wakeups:.0f}/s ({c.launcher_sleeps:.0f} of them from its own sleeps), "
          f"its wineserver {c.launcher_server_wakeups:.0f}/s; bare passes {c.bare_wakeups:.0f}/s "
          f"({c.bare_sleeps:.0f} sleeps), their wineserver {c.bare_server_wakeups:.0f}/s: "
          f"{c.launcher_wakeups / c.bare_wakeups:.2f}x")
    print(f"peak working set (VmHWM at the closing window): {p.hwm} kB (wine's window surfaces shared with the "
          f"X server, RssShmem then: {p.shm} kB); bare Win32 window {b.hwm} kB ({b.shm} kB): {p.hwm / b.hwm:.2f}x")
    for s in BIG_SIZES:
        q, bq = peaks[s], bare_peaks[s]
        print(f"at {s}: {q.hwm} kB (RssShmem {q.shm} kB); bare Win32 window at {s} {bq.hwm} kB ({bq.shm} kB): "
              f"{q.hwm / bq.hwm:.2f}x; START.EXE less its shared surfaces {q.hwm - q.shm} kB, "
              f"{(q.hwm - q.shm) / (p.hwm - p.shm):.2f}x that at 800x600")
    return cpu, peaks, bare_peaks


def measure(wait):  # what measured the Windows figures, or why none were; and the figures
    wine = choose()
    if wine.skip:
        note(f"Windows figures: not measured ({wine.skip})")
        return f"not measured ({wine.skip})", None
    note(f"Windows figures: the {wine.which}")
    print(f"building the Windows build and its bench programs into {wine.build.relative_to(ROOT)}/", flush=True)
    if not cmake_build(wine.build, "democd", "bench_win32", toolchain=wine.toolchain):
        sys.exit(f"building {wine.build} failed")
    with tempfile.TemporaryDirectory() as tmp:
        try:
            wine.prepare(tmp)
            launcher_start = start(wine)
            dialog, bare_dialog = dialogs(wine)
            note("Windows key latency: Return by XTest to the click handler during the busy wait, under wine "
                 "(20 presses)")
            key = key_figure(BIN / "key_sender", 20, wine.loader, "key_wait_window.exe", before=wine.new_servers,
                             **wine.in_prefix("yardstick"))
            note("Windows end of the busy wait: how late the loop sees a deadline, under wine (30 waits)")
            deadlines = late(on_screen(wine.loader, "key_wait_window.exe", "--deadlines", 30,
                                       before=wine.new_servers, **wine.in_prefix("yardstick")).replace("\r", ""))
            cpu, peaks, bare_peaks = sequences(wine, wait)
        finally:
            wine.kill_servers()
    return f"the {wine.which}", WineFigures(wine.tag, launcher_start, dialog, bare_dialog, key, deadlines, cpu, peaks,
                                            bare_peaks)


def rows(f, wait):
    s, c, d, bd = f.start, f.cpu, f.dialog, f.bare_dialog
    p, b = f.peaks["800x600"], f.bare_peaks["800x600"]
    (p4k, p8k), (b4k, b8k) = ([peaks[z] for z in BIG_SIZES] for peaks in (f.peaks, f.bare_peaks))
    own = {z: f.peaks[z].hwm - f.peaks[z].shm for z in SIZES}  # less the surfaces shared with X
    on = f"Windows ({f.tag})"
    return [
        Row(f"**{on}**: process start → welcome picture drawn, START.EXE against a bare Win32 window showing "
            "welcome.jpg full screen decoded by stb_image", "≤ 1.10×", s.summary(), s.ratio <= 1.10),
        Row(f"{on}: peak working set through the whole sequence (VmHWM of the wine process), against the bare "
            "Win32 window", "≤ 1.25×",
            f"{p.hwm / b.hwm:.2f}× ({mb(p.hwm):.1f} MB against {mb(b.hwm):.1f} MB; wine's window surfaces in them "
            f"{mb(p.shm):.1f} MB and {mb(b.shm):.1f} MB)", p.hwm <= 1.25 * b.hwm),
        Row(f"{on}: the same peak at 3840×2160 and at 7680×4320, against the bare Win32 window on a screen of the "
            "same size (both carry wine's window surfaces)", "≤ 1.25×",
            f"{p4k.hwm / b4k.hwm:.2f}× and {p8k.hwm / b8k.hwm:.2f}× ({mb(p4k.hwm):.1f} MB against "
            f"{mb(b4k.hwm):.1f} MB, {mb(p8k.hwm):.1f} MB against {mb(b8k.hwm):.1f} MB; wine's window surfaces in "
            f"them {mb(p4k.shm):.1f} and {mb(b4k.shm):.1f} MB, {mb(p8k.shm):.1f} and {mb(b8k.shm):.1f} MB)",
            p4k.hwm <= 1.25 * b4k.hwm and p8k.hwm <= 1.25 * b8k.hwm),
        Row(f"{on}: START.EXE's own peak, less the window surfaces it shares with the X server (VmHWM − RssShmem), "
            "at 7680×4320 against 800×600", "≤ 1.1×",
            f"{own['7680x4320'] / own['800x600']:.2f}× ({mb(own['7680x4320']):.1f} MB against "
            f"{mb(own['800x600']):.1f} MB; at 3840×2160 {mb(own['3840x2160']):.1f} MB, "
            f"{own['3840x2160'] / own['800x600']:.2f}×)", own["7680x4320"] <= 1.1 * own["800x600"]),
        Row(f"{on}: dialog Load → on the screen (frmYesNo with the manual notice), against a bare Win32 program "
            "showing a window of the same size with the same controls", "median ≤ 1.5×",
            f"{f.dialog_ratio:.2f}× (median of {d.count}: {d.median:.3f} ms, p90 {d.p90:.3f} ms; "
            f"bare dialog {bd.median:.3f} ms, p90 {bd.p90:.3f} ms)", f.dialog_ratio <= 1.5),
        Row(f"{on}: CPU during the {wait} s wait, START.EXE and all of its wineserver, against the same waiting "
            "passes in a bare Win32 program and all of theirs",
            "≤ 1.2× (≤ 0.3 % of a core is the Linux goal: under wine each idle wait is a round trip to the "
            "server)",
            f"{c.upper / c.bare_upper:.2f}× ({c.upper:.3f} % of a core: START.EXE {c.launcher:.3f} % + wineserver "
            f"{c.launcher_server:.3f} %; bare passes {c.bare:.3f} % + {c.bare_server:.3f} % = {c.bare_upper:.3f} %; "
            f"busy loop {c.busy:.1f} %)", c.upper <= 1.2 * c.bare_upper),
        Row(f"{on}: wake-ups per second during the wait (the program's threads), against the bare passes", "≤ 1.2×",
            f"{c.launcher_wakeups / c.bare_wakeups:.2f}× ({c.launcher_wakeups:.0f}/s against "
            f"{c.bare_wakeups:.0f}/s; their wineservers {c.launcher_server_wakeups:.0f}/s and "
            f"{c.bare_server_wakeups:.0f}/s)", c.launcher_wakeups <= 1.2 * c.bare_wakeups),
        Row(f"{on}: end of the wait, how late the busy loop sees its deadline", "≤ 50 ms",
            f"median {f.late.median:.1f} ms, max {f.late.max:.1f} ms (30 waits)", f.late.max <= 50),
        Row(f"{on}: key press → handled during the wait (XTest Return → click handler, read from its stdout)",
            "≤ 20 ms", f"median {f.key.median:.3f} ms, max {f.key.max:.3f} ms (20 presses)", f.key.max <= 20),
    ]
