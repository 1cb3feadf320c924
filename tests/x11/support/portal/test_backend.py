#!/usr/bin/python3
"""The desktop portal's GlobalShortcuts backend, driven by a test: says "bound ID TRIGGER" for each
shortcut it binds, sends the signal of each "Activated ID" or "Deactivated ID" line it reads and
says "sent" with the monotonic clock's nanoseconds then, and refuses every session when started
with "refuse"."""
import os
import sys
import time

import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

INTERFACE = "org.freedesktop.impl.portal.GlobalShortcuts"


class Backend(dbus.service.Object):
    session = "/"

    @dbus.service.method(INTERFACE, in_signature="oosa{sv}", out_signature="ua{sv}")
    def CreateSession(self, handle, session, app_id, options):
        self.session = session
        return (2 if "refuse" in sys.argv else 0), {}

    @dbus.service.method(INTERFACE, in_signature="ooa(sa{sv})sa{sv}", out_signature="ua{sv}")
    def BindShortcuts(self, handle, session, shortcuts, parent_window, options):
        bound = [(sid, {"trigger_description": properties["preferred_trigger"]})
                 for sid, properties in shortcuts]
        print("".join(f"bound {sid} {trigger['trigger_description']}\n" for sid, trigger in bound),
              end="", flush=True)
        return 0, {"shortcuts": dbus.Array(bound, signature="(sa{sv})")}

    @dbus.service.signal(INTERFACE, signature="osta{sv}")
    def Activated(self, session, shortcut_id, timestamp, options):
        pass

    @dbus.service.signal(INTERFACE, signature="osta{sv}")
    def Deactivated(self, session, shortcut_id, timestamp, options):
        pass


def take_commands(fd, condition):
    data = os.read(fd, 4096)
    for signal, shortcut_id in (line.split() for line in data.decode().splitlines()):
        getattr(backend, signal)(backend.session, shortcut_id, 0, dbus.Dictionary(signature="sv"))
        print(f"sent {time.monotonic_ns()}", flush=True)
    return bool(data)


DBusGMainLoop(set_as_default=True)
backend = Backend(dbus.SessionBus(), "/org/freedesktop/portal/desktop")
name = dbus.service.BusName("org.freedesktop.impl.portal.PinletTest", backend.connection)
GLib.io_add_watch(0, GLib.IO_IN, take_commands)
print("ready", flush=True)
GLib.MainLoop().run()
