#!/usr/bin/python3
"""Walks the launcher's accept path as an AT-SPI client would see it.

Run inside a private session bus on an X display without a window manager:
  read_windows.py LAUNCHER
Every window of the path must come up with a window:activate event, read as
it reads on Windows (name, role, states, labels then buttons, actions, key
bindings, the tooltip as description, positions true on the screen), and its
focused button must get the focus event; Tab moves it. The offer is answered
with the button's AT-SPI action, the rest with keys. During the wait after
the Acrobat Reader setup the tree must still answer at once. The windows
and their buttons come from the tests' table (tests/sequence/walks.txt)."""
import os
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)  # the *_iface calls read plainest

LAUNCHER = sys.argv[1]
TABLE = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "sequence", "walks.txt")


def read_walk(walk, table=TABLE):
    """The table's steps of WALK: dicts of its columns, the buttons a list."""
    steps = []
    with open(table, encoding="utf-8") as f:
        for line in f:
            cols = line.split(None, 7)
            if len(cols) == 8 and cols[0] == walk:
                step = dict(zip(("walk", "step", "form", "then", "buttons", "answer", "shot"), cols))
                step["buttons"] = [] if cols[4] == "-" else cols[4].split(",")
                step["title"] = cols[7].rstrip("\r\n")[1:-1]
                steps.append(step)
    if not steps:
        sys.exit(f"{table}: no walk {walk!r}")
    return steps


def read_labels(table=TABLE):
    """The table's label lines: each step's texts, in reading order."""
    labels = {}
    with open(table, encoding="utf-8") as f:
        for line in f:
            if line.startswith("label "):
                step, text = line.split(None, 2)[1:]
                labels.setdefault(step, []).append(text.rstrip("\r\n")[1:-1])
    return labels


ACCEPT = read_walk("accept")
WELCOME = next(s["title"] for s in ACCEPT if s["form"] == "frmAcrobat")
LABELS = read_labels()
# What this walk expects beyond the table, by step: a button's description
# (its tooltip), a role other than "dialog", and the answer if not Return;
# the focus is on the window's first button.
DESCRIPTIONS = {"closing": {"Ende": "Viel Spaß beim Spielen!"}}
ROLES = {"closing": "frame"}
ACTIONS = {"offer": "tab_then_click", "game-question": "alt+j"}


def button(step, caption):
    """("push button", name, key binding[, description]) of a caption such as "&Ja"."""
    name = caption.replace("&", "", 1)
    key = "<Alt>" + caption[caption.index("&") + 1].lower()
    description = DESCRIPTIONS.get(step, {}).get(name)
    return ("push button", name, key) + ((description,) if description is not None else ())


# Each of the program's windows along the accept path (not the welcome
# window, not the setups'): name, role, children (role, name, key binding,
# description), the focused button, and what the user then does.
STEPS = [
    (s["title"], ROLES.get(s["step"], "dialog"),
     [("label", t) for t in LABELS.get(s["step"], [])] + [button(s["step"], b) for b in s["buttons"]],
     s["buttons"][0].replace("&", "", 1), ACTIONS.get(s["step"], "Return"))
    for s in ACCEPT if s["form"] not in ("-", "frmAcrobat")
]
DEADLINE_S = 80
ANSWER_LIMIT_S = 1.0

failures = []
state = {"step": 0, "window": None, "await": None, "tabbed": False, "launcher": None, "wait_checked": False}


def fail(what):
    failures.append(what)
    print("FAIL:", what, file=sys.stderr, flush=True)


def states(acc):
    return {Atspi.StateType(s).value_nick for s in acc.get_state_set().get_states()}


def screen_box(acc):
    r = acc.get_component_iface().get_extents(Atspi.CoordType.SCREEN)
    return (r.x, r.y, r.width, r.height)


def window_box(acc):
    r = acc.get_component_iface().get_extents(Atspi.CoordType.WINDOW)
    return (r.x, r.y, r.width, r.height)


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True, check=False).stdout


def x_window(name):
    quoted = "".join("\\" + c if c in "[].*^$()+?{}|\\" else c for c in name)
    ids = xdotool("search", "--onlyvisible", "--name", "^" + quoted + "$").split()
    return ids[-1] if ids else None


def x_client_box(xid):
    geo = dict(line.split("=", 1) for line in xdotool("getwindowgeometry", "--shell", xid).split())
    return (int(geo["X"]), int(geo["Y"]), int(geo["WIDTH"]), int(geo["HEIGHT"]))


def press(name, key):
    xid = x_window(name)
    if not xid:
        fail(f"{name!r}: no X window to press {key} in")
        return
    xdotool("windowfocus", "--sync", xid)
    xdotool("key", "--clearmodifiers", key)


def check_window(win, step):
    name, role, children, focused, _ = step
    where = f"window {state['step'] + 1} {name!r}"
    if win.get_role_name() != role:
        fail(f"{where}: role {win.get_role_name()!r}, expected {role!r}")
    want = {"showing", "visible", "active", "enabled", "sensitive"} | ({"modal"} if role == "dialog" else set())
    if not want <= states(win):
        fail(f"{where}: states {sorted(states(win))}, missing {sorted(want - states(win))}")
    got = [win.get_child_at_index(i) for i in range(win.get_child_count())]
    got_names = [(c.get_role_name(), c.get_name()) for c in got]
    if got_names != [c[:2] for c in children]:
        fail(f"{where}: children {got_names}, expected {[c[:2] for c in children]}")
        return
    xid = x_window(name)
    if xid and screen_box(win) != x_client_box(xid):
        fail(f"{where}: on the screen at {screen_box(win)}, the X window is at {x_client_box(xid)}")
    wx, wy, ww, wh = screen_box(win)
    for child, (crole, cname, *rest) in zip(got, children):
        what = f"{where}: {crole} {cname.strip()[:20]!r}"
        sx, sy, cw, ch = screen_box(child)
        lx, ly, _, _ = window_box(child)
        if (sx - wx, sy - wy) != (lx, ly) or cw <= 0 or ch <= 0 or not (0 <= lx < ww and 0 <= ly < wh):
            fail(f"{what}: at {screen_box(child)} on the screen, {window_box(child)} in the window {screen_box(win)}")
        if "showing" not in states(child):
            fail(f"{what}: not showing")
        if crole == "label":
            if child.get_action_iface() is not None and child.get_action_iface().get_n_actions() > 0:
                fail(f"{what}: a label with an action")
            continue
        key, description = (rest + [""])[:2]
        action = child.get_action_iface()
        if not action or action.get_n_actions() != 1 or action.get_action_name(0) != "click":
            fail(f"{what}: no single 'click' action")
        elif action.get_key_binding(0) != key:
            fail(f"{what}: key binding {action.get_key_binding(0)!r}, expected {key!r}")
        if child.get_description() != description:
            fail(f"{what}: description {child.get_description()!r}, expected {description!r}")
        must = {"focusable"} | ({"focused"} if cname == focused else set())
        if not must <= states(child) or (cname != focused and "focused" in states(child)):
            fail(f"{what}: states {sorted(states(child))}")


def our_app(acc):
    try:
        app = acc.get_application()
        return app is not None and app.get_name() == "Mirelund"
    except GLib.Error:
        return False


def act(step):
    name, _, _, _, action = step
    if action == "tab_then_click":
        state["await"] = "Nine"
        press(name, "Tab")
        return
    state["await"] = None
    state["window"] = None
    state["step"] += 1
    press(name, action)


def on_activate(event):
    win = event.source
    if not our_app(win) or state["step"] >= len(STEPS):
        return
    step = STEPS[state["step"]]
    if win.get_name() != step[0] or win.get_role_name() != step[1]:
        return  # the welcome window between dialogs
    check_window(win, step)
    state["window"] = win
    state["await"] = step[3]


def on_focus(event):
    if event.type.startswith("object:state-changed") and event.detail1 != 1:
        return
    button = event.source
    if state["window"] is None or state["await"] is None or not our_app(button):
        return
    if button.get_parent() != state["window"] or button.get_name() != state["await"]:
        return
    step = STEPS[state["step"]]
    if "focused" not in states(button):
        fail(f"focus event on {button.get_name()!r} without the focused state")
    if step[4] != "tab_then_click":
        act(step)
    elif not state["tabbed"]:
        act(step)
        state["tabbed"] = True
    elif state["await"] == "Nine":
        state["await"] = "Ja"
        press(step[0], "shift+Tab")
    else:
        # What a screen reader's "click" does: the offer is accepted.
        ja = [c for c in (state["window"].get_child_at_index(i) for i in range(4)) if c.get_name() == "Ja"][0]
        state["await"] = None
        state["window"] = None
        state["step"] += 1
        if not ja.get_action_iface().do_action(0):
            fail("the offer's 'Ja' refused its click")
        GLib.timeout_add(4000, check_during_wait)


def check_during_wait():
    # The busy wait has begun: the tree must answer through it.
    started = time.monotonic()
    desktop = Atspi.get_desktop(0)
    names = []
    for i in range(desktop.get_child_count()):
        app = desktop.get_child_at_index(i)
        if app is not None and app.get_name() == "Mirelund":
            names = [app.get_child_at_index(j).get_name() for j in range(app.get_child_count())]
    took = time.monotonic() - started
    if WELCOME not in names or took > ANSWER_LIMIT_S:
        fail(f"during the wait the launcher's windows read {names} in {took:.2f} s")
    state["wait_checked"] = True
    return False


def poll_launcher():
    code = state["launcher"].poll()
    if code is None:
        if time.monotonic() > state["deadline"]:
            fail(f"stopped at window {state['step'] + 1} of {len(STEPS)} after {DEADLINE_S} s")
            state["launcher"].kill()
            Atspi.event_quit()
            return False
        return True
    if code != 0:
        fail(f"the launcher ended with status {code}")
    if state["step"] < len(STEPS):
        fail(f"the launcher ended at window {state['step'] + 1} of {len(STEPS)}")
    if not state["wait_checked"]:
        fail("the tree was not read during the wait")
    Atspi.event_quit()
    return False


def main():
    activate = Atspi.EventListener.new(on_activate)
    activate.register("window:activate")
    focus = Atspi.EventListener.new(on_focus)
    focus.register("object:state-changed:focused")
    state["launcher"] = subprocess.Popen([LAUNCHER])
    state["deadline"] = time.monotonic() + DEADLINE_S
    GLib.timeout_add(100, poll_launcher)
    Atspi.event_main()
    if failures:
        print(f"{len(failures)} failure(s)", file=sys.stderr)
        sys.exit(1)
    print(f"all {len(STEPS)} windows read as expected")


main()
