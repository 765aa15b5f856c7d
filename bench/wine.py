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
import os, shutil, subprocess as sp, sys, tempfile, time
from types import SimpleNamespace

DIALOG_ROUNDS, DIALOG_PER_ROUND = 3, 20  # the first five showings of each round not counted


def choose(R, W):  # decides by trying which build runs, as the test command does
    loader, words = R.run("bash", "-c", 'source "$1"; w=$(wine32_loader); echo "$w"; '
                          'if [[ -n $w ]]; then wine32_where "$w"; else why_no_wine32; fi',
                          "bash", R.ROOT / "tools/wine32/runs-32bit.sh").split("\n")[:2]
    if loader:
        W.build, W.toolchain, W.wine, W.triplet = R.ROOT / "build-bench-win32", "mingw-i686.cmake", loader, "i686"
        W.server = os.path.join(os.path.dirname(loader), "wineserver")
        W.which = f"i686 build (the CD's) under wine32: 32-bit programs run here and so does {words}"
        os.environ["WINEARCH"] = "win32"
    else:
        W.build, W.toolchain, W.wine, W.triplet = R.ROOT / "build-bench-win64", "mingw-x86_64.cmake", "/usr/lib/wine/wine64", "x86_64"
        W.server = "/usr/lib/wine/wineserver64"
        W.which = f"x86_64 build under wine64: {words}"
        os.environ.update(WINEARCH="win64", WINELOADER=W.wine, WINESERVER=W.server)
    if not os.access(W.wine, os.X_OK):
        W.skip = "wine is not installed"
    elif not shutil.which(f"{W.triplet}-w64-mingw32-g++-posix"):
        W.skip = f"MinGW-w64 ({W.triplet}) is not installed"
    os.environ.update(WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    if not W.skip:  # each row says which build and which wine measured it
        version = sp.run([W.wine, "--version"], text=True, stdout=sp.PIPE, stderr=sp.DEVNULL).stdout.strip() or "wine"
        W.tag = f"{W.triplet} build, {version} {'wine32' if W.triplet == 'i686' else 'wine64'}"


def new_servers(R, W, display):
    """Fresh servers, on the display: wine's desktop takes the screen's size from the display its first
    program of a session had, so each new display gets new servers."""
    for prefix in W.prefixes.values():
        sp.run([W.server, "-k"], env=R.with_env(WINEPREFIX=prefix), stdout=sp.DEVNULL, stderr=sp.DEVNULL)
    for server in W.servers.values():
        server.wait()
    W.servers = {k: R.spawn(W.server, "-f", "-p", env=R.with_env(WINEPREFIX=p, DISPLAY=display),
                            stdout=sp.DEVNULL, stderr=sp.DEVNULL) for k, p in W.prefixes.items()}


def prepare(R, W):  # one prefix made by wineboot, the others copies of it
    W.prefixes = {k: os.path.join(W.tmp, f"wine-{k}") for k in ("launcher", "yardstick", "bare-wait")}
    W.servers = {}
    with R.screen() as (display, _):
        for cmd in ([W.wine, "wineboot", "-i"], [W.server, "-w"],
                    [W.wine, "reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Managed", "/t", "REG_SZ", "/d", "N", "/f"],
                    [W.server, "-w"]):
            sp.run(cmd, env=R.with_env(DISPLAY=display, WINEPREFIX=W.prefixes["launcher"]), stdout=sp.DEVNULL, stderr=sp.DEVNULL)
    for k in ("yardstick", "bare-wait"):
        sp.run(["cp", "-a", W.prefixes["launcher"], W.prefixes[k]], check=True)
    os.symlink(W.cd, os.path.join(W.prefixes["launcher"], "dosdevices/d:"))


def in_prefix(R, W, prefix, display=None):  # where and how a program of ours runs under wine
    return dict(cwd=W.bin, env=R.with_env(WINEPREFIX=W.prefixes[prefix], **({"DISPLAY": display} if display else {})))


def figures(R, W):
    R.note(f"Windows start: START.EXE against a bare Win32 window decoding with stb_image, under wine ({R.START_RUNS} runs each, interleaved)")
    W.start = R.start_figure(R.probe(R.START_RUNS, [
        ("launcher", "800x600", W.cd, R.WELCOME + R.INSET, f"/usr/bin/env WINEPREFIX={W.prefixes['launcher']} {W.wine} D:\\START.EXE"),
        ("bare", "800x600", W.bin, R.WELCOME, f"/usr/bin/env WINEPREFIX={W.prefixes['yardstick']} {W.wine} bare_window.exe")],
        "--settle", 10, "--timeout", 20, before=lambda d: new_servers(R, W, d)), "START.EXE", "bare Win32 window")

    R.note(f"Windows dialog: Load to on the screen, frmYesNo with the manual notice against a bare Win32 dialog with the same controls, under wine ({DIALOG_ROUNDS} rounds of {DIALOG_PER_ROUND} each, interleaved)")
    drawn = {"START.EXE": [], "bare dialog": []}
    with R.screen() as (display, _):
        new_servers(R, W, display)
        for _ in range(DIALOG_ROUNDS):
            for who, exe in (("START.EXE", "dialog_cycle.exe"), ("bare dialog", "bare_dialog.exe")):
                out = R.run(R.BIN / "dialog_watch", W.wine, exe, DIALOG_PER_ROUND + 5, **in_prefix(R, W, "yardstick", display))
                for line in out.splitlines():
                    if line.startswith("drawn "):
                        drawn[who].append(float(line.split()[1]))
                    else:
                        print(f"{who}: {line}")
    W.dialog, W.bare_dialog = R.series(drawn["START.EXE"]), R.series(drawn["bare dialog"])
    W.dialog_ratio = W.dialog[0] / W.bare_dialog[0]
    print(f"Load to on the screen: START.EXE median {W.dialog[0]:.3f} ms (p90 {W.dialog[1]:.3f}), bare Win32 dialog "
          f"median {W.bare_dialog[0]:.3f} ms (p90 {W.bare_dialog[1]:.3f}): {W.dialog_ratio:.2f}x")

    R.note("Windows key latency: Return by XTest to the click handler during the busy wait, under wine (20 presses)")
    W.key = R.key_figure(R.BIN / "key_sender", 20, W.wine, "key_wait_window.exe", before=lambda d: new_servers(R, W, d),
                         **in_prefix(R, W, "yardstick"))
    R.note("Windows end of the busy wait: how late the loop sees a deadline, under wine (30 waits)")
    W.late = R.late(R.on_screen(W.wine, "key_wait_window.exe", "--deadlines", 30, before=lambda d: new_servers(R, W, d),
                                **in_prefix(R, W, "yardstick")).replace("\r", ""))


def counters(R, name, pid, server):  # a program's CPU share, wake-ups and own sleeps, and its server's
    return {name: lambda: R.cpu_share(pid), f"{name}_wakeups": lambda: R.wakeups(pid),
            f"{name}_sleeps": lambda: R.status(pid, "voluntary_ctxt_switches", True),
            f"{name}_server": lambda: R.cpu_share(server), f"{name}_server_wakeups": lambda: R.wakeups(server)}


def sequences(R, W):
    R.note(f"Windows whole sequence of START.EXE from drive D: under wine: CPU and wake-ups during the 20 s wait against a bare Win32 program's waiting passes, peak working set (800x600, {', '.join(R.BIG_SIZES)})")
    W.bare_peak = {size: R.bare_peak(W.wine, "bare_window.exe", settle=4, size=size, before=lambda d: new_servers(R, W, d),
                                     **in_prefix(R, W, "yardstick")) for size in ("800x600", *R.BIG_SIZES)}
    W.peak, m, run_ = {}, SimpleNamespace(), {}

    def accepted(_, display, __):  # the 20 s wait starts
        run_["busy"] = R.spawn(W.wine, "busy_loop.exe", 20, **in_prefix(R, W, "yardstick", display))
        run_["bare"] = R.spawn(W.wine, "bare_wait.exe", 20, stdout=sp.DEVNULL, stderr=sp.DEVNULL,
                               **in_prefix(R, W, "bare-wait", display))

    def waiting(pid, *_):  # past the Acrobat Reader stub setup, which closes itself after 4 s
        time.sleep(1)
        server = {k: p.pid for k, p in W.servers.items()}
        W.cpu = R.sample(12, **counters(R, "launcher", pid, server["launcher"]),
                         **counters(R, "bare", run_["bare"].pid, server["bare-wait"]),
                         busy_own=lambda: R.cpu_share(run_["busy"].pid), yard_server=lambda: R.cpu_share(server["yardstick"]))
        run_["busy"].wait()
        run_["bare"].wait()

    def ended(*_):  # what the servers spend with none of our programs running, on the same display: wine's own
        idle = R.sample(12, launcher=lambda: R.cpu_share(W.servers["launcher"].pid),
                        yard=lambda: R.cpu_share(W.servers["yardstick"].pid))
        c = W.cpu
        c.idle, c.server_share = idle.launcher, max(0, c.launcher_server - idle.launcher)
        c.total, c.upper, c.bare_upper = c.launcher + c.server_share, c.launcher + c.launcher_server, c.bare + c.bare_server
        c.busy = c.busy_own + max(0, c.yard_server - idle.yard)
    for size in ("800x600", *R.BIG_SIZES):
        hooks = {"accepted": accepted, "waiting": waiting, "ended": ended} if size == "800x600" else {}
        hooks["screen"] = lambda _, display, __: new_servers(R, W, display)
        R.walk(size, {**hooks, **R.memory_hooks(m)}, "--wine", W.cd, W.wine, "D:\\START.EXE",
               env={"WINEPREFIX": W.prefixes["launcher"]})
        W.peak[size] = (m.hwm, m.shm)
    c, p, b = W.cpu, W.peak["800x600"], W.bare_peak["800x600"]
    print(f"CPU over {c.span:.1f} s of the wait: START.EXE {c.launcher:.3f} % + its wineserver {c.server_share:.3f} % "
          f"(the server {c.launcher_server:.3f} %, less {c.idle:.3f} % it spends idle) = {c.total:.3f} % (all of the server counted: "
          f"{c.upper:.3f} %); busy loop {c.busy:.1f} %")
    print(f"the bare waiting passes, the same 12 s: {c.bare:.3f} % + all of their wineserver {c.bare_server:.3f} % = "
          f"{c.bare_upper:.3f} %: START.EXE {c.upper / c.bare_upper:.2f}x")
    print(f"wake-ups: START.EXE {c.launcher_wakeups:.0f}/s ({c.launcher_sleeps:.0f} of them from its own sleeps), its wineserver {c.launcher_server_wakeups:.0f}/s; "
          f"bare passes {c.bare_wakeups:.0f}/s ({c.bare_sleeps:.0f} sleeps), their wineserver {c.bare_server_wakeups:.0f}/s: "
          f"{c.launcher_wakeups / c.bare_wakeups:.2f}x")
    print(f"peak working set (VmHWM at the closing window): {p[0]} kB (wine's window surfaces shared with the X server, "
          f"RssShmem then: {p[1]} kB); bare Win32 window {b[0]} kB ({b[1]} kB): {p[0] / b[0]:.2f}x")
    for s in R.BIG_SIZES:
        q, bq = W.peak[s], W.bare_peak[s]
        print(f"at {s}: {q[0]} kB (RssShmem {q[1]} kB); bare Win32 window at {s} {bq[0]} kB ({bq[1]} kB): {q[0] / bq[0]:.2f}x; "
              f"START.EXE less its shared surfaces {q[0] - q[1]} kB, {(q[0] - q[1]) / (p[0] - p[1]):.2f}x that at 800x600")


def measure(R, mode):  # everything above, in order
    W = SimpleNamespace(measured=False, skip="left out by --linux" if mode == "--linux" else "")
    if mode == "--linux":
        return W
    choose(R, W)
    if W.skip:
        R.note(f"Windows figures: not measured ({W.skip})")
        return W
    R.note(f"Windows figures: the {W.which}")
    print(f"building the Windows build and its bench programs into {W.build.relative_to(R.ROOT)}/", flush=True)
    if not R.cmake_build(W.build, "democd", "bench_win32", toolchain=W.toolchain):
        sys.exit(f"building {W.build} failed")
    W.cd, W.bin = W.build / "cd", W.build / "bench"
    with tempfile.TemporaryDirectory() as W.tmp:
        try:
            prepare(R, W)
            figures(R, W)
            sequences(R, W)
        finally:
            for prefix in W.prefixes.values():
                sp.run([W.server, "-k"], env=R.with_env(WINEPREFIX=prefix), stdout=sp.DEVNULL, stderr=sp.DEVNULL)
    W.measured = True
    return W


def rows(R, W):
    s, p, b, c, d, bd = W.start, W.peak["800x600"], W.bare_peak["800x600"], W.cpu, W.dialog, W.bare_dialog
    (p4, p8), (b4, b8) = ([peaks[z] for z in R.BIG_SIZES] for peaks in (W.peak, W.bare_peak))
    own = {z: W.peak[z][0] - W.peak[z][1] for z in ("800x600", *R.BIG_SIZES)}  # less the surfaces shared with X
    on = f"Windows ({W.tag})"
    return f"""\
| **{on}**: process start → welcome picture drawn, START.EXE against a bare Win32 window showing welcome.jpg full screen decoded by stb_image | ≤ 1.10× | {s.ratio:.2f}× (median of {R.START_RUNS}: {s.launcher:.1f} ms against {s.bare:.1f} ms; CPU used by then {s.cpu_launcher:.1f} ms against {s.cpu_bare:.1f} ms, {s.cpu_ratio:.2f}×) | {R.met(s.ratio <= 1.10)} |
| {on}: peak working set through the whole sequence (VmHWM of the wine process), against the bare Win32 window | ≤ 1.25× | {p[0] / b[0]:.2f}× ({R.mb(p[0]):.1f} MB against {R.mb(b[0]):.1f} MB; wine's window surfaces in them {R.mb(p[1]):.1f} MB and {R.mb(b[1]):.1f} MB) | {R.met(p[0] <= 1.25 * b[0])} |
| {on}: the same peak at 3840×2160 and at 7680×4320, against the bare Win32 window on a screen of the same size (both carry wine's window surfaces) | ≤ 1.25× | {p4[0] / b4[0]:.2f}× and {p8[0] / b8[0]:.2f}× ({R.mb(p4[0]):.1f} MB against {R.mb(b4[0]):.1f} MB, {R.mb(p8[0]):.1f} MB against {R.mb(b8[0]):.1f} MB; wine's window surfaces in them {R.mb(p4[1]):.1f} and {R.mb(b4[1]):.1f} MB, {R.mb(p8[1]):.1f} and {R.mb(b8[1]):.1f} MB) | {R.met(p4[0] <= 1.25 * b4[0] and p8[0] <= 1.25 * b8[0])} |
| {on}: START.EXE's own peak, less the window surfaces it shares with the X server (VmHWM − RssShmem), at 7680×4320 against 800×600 | ≤ 1.1× | {own['7680x4320'] / own['800x600']:.2f}× ({R.mb(own['7680x4320']):.1f} MB against {R.mb(own['800x600']):.1f} MB; at 3840×2160 {R.mb(own['3840x2160']):.1f} MB, {own['3840x2160'] / own['800x600']:.2f}×) | {R.met(own['7680x4320'] <= 1.1 * own['800x600'])} |
| {on}: dialog Load → on the screen (frmYesNo with the manual notice), against a bare Win32 program showing a window of the same size with the same controls | median ≤ 1.5× | {W.dialog_ratio:.2f}× (median of {d[2]}: {d[0]:.3f} ms, p90 {d[1]:.3f} ms; bare dialog {bd[0]:.3f} ms, p90 {bd[1]:.3f} ms) | {R.met(W.dialog_ratio <= 1.5)} |
| {on}: CPU during the 20 s wait, START.EXE and all of its wineserver, against the same waiting passes in a bare Win32 program and all of theirs | ≤ 1.2× (≤ 0.3 % of a core is the Linux goal: under wine each idle wait is a round trip to the server) | {c.upper / c.bare_upper:.2f}× ({c.upper:.3f} % of a core: START.EXE {c.launcher:.3f} % + wineserver {c.launcher_server:.3f} %; bare passes {c.bare:.3f} % + {c.bare_server:.3f} % = {c.bare_upper:.3f} %; busy loop {c.busy:.1f} %) | {R.met(c.upper <= 1.2 * c.bare_upper)} |
| {on}: wake-ups per second during the wait (the program's threads), against the bare passes | ≤ 1.2× | {c.launcher_wakeups / c.bare_wakeups:.2f}× ({c.launcher_wakeups:.0f}/s against {c.bare_wakeups:.0f}/s; their wineservers {c.launcher_server_wakeups:.0f}/s and {c.bare_server_wakeups:.0f}/s) | {R.met(c.launcher_wakeups <= 1.2 * c.bare_wakeups)} |
| {on}: end of the wait, how late the busy loop sees its deadline | ≤ 50 ms | median {W.late[0]:.1f} ms, max {W.late[1]:.1f} ms (30 waits) | {R.met(W.late[1] <= 50)} |
| {on}: key press → handled during the wait (XTest Return → click handler, read from its stdout) | ≤ 20 ms | median {W.key[0]:.3f} ms, max {W.key[1]:.3f} ms (20 presses) | {R.met(W.key[1] <= 20)} |"""
