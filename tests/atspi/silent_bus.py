#!/usr/bin/python3
"""Owns org.a11y.Bus on the session bus and never answers a call to it, as
a hung accessibility bus launcher would. Prints "ready" once it owns it."""
import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

XML = """<node><interface name="org.a11y.Bus"><method name="GetAddress">
<arg type="s" direction="out"/></method></interface></node>"""
held = []  # calls kept unanswered
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
bus.register_object("/org/a11y/bus", Gio.DBusNodeInfo.new_for_xml(XML).interfaces[0],
                    lambda *call: held.append(call[-1]), None, None)
reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "RequestName",
                      GLib.Variant("(su)", ("org.a11y.Bus", 4)), None, Gio.DBusCallFlags.NONE, -1, None)
if reply.unpack()[0] != 1:
    raise SystemExit("could not own org.a11y.Bus")
print("ready", flush=True)
GLib.MainLoop().run()
