#!/usr/bin/env python3
"""Waits until a program on the session's accessibility bus shows an object
(a label, a button) whose name matches a regular expression, and prints that
name; exits with 1 when none appears within the time limit. Lets the
end-to-end checks read texts that the window system does not carry (xdotool
sees only window titles).

Usage: accessible_text.py PATTERN [SECONDS]
"""
import re
import sys
import time

from gi.repository import Gio, GLib

ACCESSIBLE = "org.a11y.atspi.Accessible"
ROOT = "/org/a11y/atspi/accessible/root"
TIMEOUT_MS = 5000


def accessibility_bus():
    session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress", None,
                                GLib.VariantType("(s)"), Gio.DBusCallFlags.NONE, TIMEOUT_MS, None).unpack()[0]
    flags = (Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT
             | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION)
    return Gio.DBusConnection.new_for_address_sync(address, flags, None, None)


def children(bus, owner, path):
    answer = bus.call_sync(owner, path, ACCESSIBLE, "GetChildren", None, GLib.VariantType("(a(so))"),
                           Gio.DBusCallFlags.NONE, TIMEOUT_MS, None)
    return answer.unpack()[0]


def name(bus, owner, path):
    answer = bus.call_sync(owner, path, "org.freedesktop.DBus.Properties", "Get",
                           GLib.Variant("(ss)", (ACCESSIBLE, "Name")), GLib.VariantType("(v)"),
                           Gio.DBusCallFlags.NONE, TIMEOUT_MS, None)
    return answer.unpack()[0]


def names(bus):
    """Every object's name in every registered program (objects that vanish meanwhile are skipped)."""
    pending = [("org.a11y.atspi.Registry", ROOT)]
    seen = set()
    while pending:
        owner, path = pending.pop()
        if (owner, path) in seen:
            continue
        seen.add((owner, path))
        try:
            yield name(bus, owner, path)
            pending.extend(children(bus, owner, path))
        except GLib.Error:
            continue


def main():
    pattern = re.compile(sys.argv[1])
    deadline = time.monotonic() + (float(sys.argv[2]) if len(sys.argv) > 2 else 60)
    bus = accessibility_bus()
    while time.monotonic() < deadline:
        for text in names(bus):
            if pattern.search(text):
                print(text)
                return 0
        time.sleep(0.05)
    return 1


if __name__ == "__main__":
    sys.exit(main())
