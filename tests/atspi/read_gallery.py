#!/usr/bin/python3
"""What a client sees change in one window, shown by the gallery:
  read_gallery.py GALLERY
A changed caption renames its label, with the name-change event; the
runtime's error box reads as an alert with its text and its focused OK, and
a client's click on OK closes it (the program then ends with status 1). Both
presses are the buttons' AT-SPI action. Run by in_session.sh."""
import subprocess
import sys
import time
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

warnings.filterwarnings("ignore", category=DeprecationWarning)

GALLERY = sys.argv[1]
OFFER = "Acrobat Reader Installation (empfohlen)"
NEW_TEXT = "Ein ganz neuer Text für das Fenster"
ERROR_TEXT = ("Laufzeitfehler '5':\n\nUngültiger Prozeduraufruf oder ungültiges Argument\n\n"
              "(gallery --click-fails)")
DEADLINE_S = 20
failures = []


def fail(what):
    failures.append(what)
    print("FAIL:", what, file=sys.stderr, flush=True)


def ours(acc):
    try:
        return acc.get_application().get_name() == "Mirelund"
    except (GLib.Error, AttributeError):
        return False


def children(acc):
    return [acc.get_child_at_index(i) for i in range(acc.get_child_count())]


def click(acc, name):
    button = [c for c in children(acc) if c.get_name() == name]
    if not button or not button[0].get_action_iface().do_action(0):
        fail(f"{acc.get_name()!r}: no button {name!r} to click")


def run(args, on_event, events, until_exit):
    """Runs the gallery and hands each event to on_event until it returns
    True; then, or once the gallery has ended if until_exit, stops. Returns
    the gallery's exit status, None where it was stopped."""
    done = {"code": None}
    gallery = subprocess.Popen([GALLERY, *args], stdout=subprocess.DEVNULL)
    deadline = time.monotonic() + DEADLINE_S

    def handle(event):
        if ours(event.source) and on_event(event):
            done["finished"] = True

    listener = Atspi.EventListener.new(handle)
    for e in events:
        listener.register(e)

    def poll():
        done["code"] = gallery.poll()
        stop = done.get("finished") and not until_exit
        if done["code"] is not None or stop or time.monotonic() > deadline:
            Atspi.event_quit()
            return False
        return True

    GLib.timeout_add(50, poll)
    Atspi.event_main()
    for e in events:
        listener.deregister(e)
    if done["code"] is None:
        gallery.kill()
        gallery.wait()
    return done["code"]


def recaption():
    seen = {}

    def on_event(event):
        if event.type == "window:activate" and event.source.get_name() == OFFER and "offer" not in seen:
            seen["offer"] = event.source
            click(event.source, "Ja")
        elif event.type.startswith("object:property-change:accessible-name") and "offer" in seen:
            label = event.source
            labels = [c.get_name() for c in children(seen["offer"]) if c.get_role_name() == "label"]
            if label.get_name() != NEW_TEXT or labels[1:] != [NEW_TEXT]:
                fail(f"after the caption change: {label.get_name()!r}, the labels read {labels}")
            seen["renamed"] = True
            return True
        return False

    run(["frmMsgBox", "--click-recaptions", NEW_TEXT], on_event,
        ["window:activate", "object:property-change:accessible-name"], until_exit=False)
    if "renamed" not in seen:
        fail("no name change came for the changed caption")


def error_box():
    seen = {}

    def on_event(event):
        win = event.source
        if event.type != "window:activate":
            return False
        if win.get_name() == OFFER and "offer" not in seen:
            seen["offer"] = True
            click(win, "Ja")
        elif win.get_role_name() == "alert":
            seen["alert"] = True
            got = [(c.get_role_name(), c.get_name()) for c in children(win)]
            if win.get_name() != "Mirelund" or got != [("label", ERROR_TEXT), ("push button", "OK")]:
                fail(f"the error box reads {win.get_name()!r} {got}")
            elif "focused" not in [Atspi.StateType(s).value_nick for s in
                                   children(win)[1].get_state_set().get_states()]:
                fail("the error box's OK is not focused")
            click(win, "OK")
            return True
        return False

    code = run(["frmMsgBox", "--click-fails"], on_event, ["window:activate"], until_exit=True)
    if "alert" not in seen:
        fail("the error box did not come up as an alert")
    elif code != 1:
        fail(f"after OK on the error box the program's status is {code}, expected 1")


recaption()
error_box()
if failures:
    sys.exit(1)
print("the changed caption and the error box read as expected")
