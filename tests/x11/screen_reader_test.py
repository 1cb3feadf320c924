"""Pinlet as a screen reader hears it: the accessible tree and events that the AT-SPI registry
hands to pyatspi, with Pinlet on a private X server and window manager. Run inside a private
session bus (dbus-run-session), which starts the accessibility bus when Pinlet asks for it.
Usage: screen_reader_test.py PINLET"""
import os
import subprocess
import sys
import tempfile
import time
import unittest

import pyatspi
from gi.repository import GLib

PINLET = sys.argv.pop(1)
FOCUSED, DESCRIPTION = "object:state-changed:focused", "object:property-change:accessible-description"
NAME, INSERTED = "object:property-change:accessible-name", "object:text-changed:insert"


def pump_until(done, seconds=3.0):
    limit = time.monotonic() + seconds
    while not done() and time.monotonic() < limit:
        GLib.MainContext.default().iteration(False)
        time.sleep(0.002)
    return done()


def heard(event):
    """What a screen reader makes of an event: its kind, whose, and what it says."""
    said = {DESCRIPTION: lambda: event.source.description, FOCUSED: lambda: event.detail1,
            NAME: lambda: event.source.name}
    return (event.type, event.source.name, said.get(event.type, lambda: event.any_data)())


def window_manager_runs():
    check = ["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]
    return b"window id" in subprocess.run(check, capture_output=True, check=False).stdout


def named(root, role, name):
    found = pyatspi.findDescendant(root, lambda a: a.getRoleName() == role and a.name == name)
    assert found is not None, f"no {role} named {name!r}"
    return found


class ScreenReaderTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.home = tempfile.TemporaryDirectory()
        os.environ.update(XDG_CONFIG_HOME=f"{cls.home.name}/config", XDG_RUNTIME_DIR=cls.home.name,
                          QT_QPA_PLATFORM="xcb", GSETTINGS_BACKEND="memory")
        read, write = os.pipe()
        cls.children = []
        cls.addClassCleanup(cls.stop_children)  # also when the set-up fails half way
        # No reset as each client leaves, which would turn the window manager away as it comes.
        x_server = ["Xvfb", "-displayfd", str(write), "-nolisten", "tcp", "-noreset"]
        cls.children.append(subprocess.Popen(x_server, pass_fds=[write], stderr=subprocess.DEVNULL))
        os.environ["DISPLAY"] = ":" + os.read(read, 16).decode().strip()
        cls.children.append(subprocess.Popen(["openbox"], stderr=subprocess.DEVNULL))
        # Pinlet's window gets the keyboard only from a window manager that runs when it maps.
        assert pump_until(window_manager_runs, 10), "openbox did not start"
        # A screen reader starting up says that it wants to hear applications.
        subprocess.run(["gdbus", "call", "--session", "--dest", "org.a11y.Bus", "--object-path",
                        "/org/a11y/bus", "--method", "org.freedesktop.DBus.Properties.Set",
                        "org.a11y.Status", "ScreenReaderEnabled", "<true>"], check=True,
                       stdout=subprocess.DEVNULL)
        cls.children.append(subprocess.Popen([PINLET, "--settings"]))
        cls.events = []
        pyatspi.Registry.registerEventListener(lambda e: cls.events.append(heard(e)), FOCUSED,
                                               DESCRIPTION, NAME, INSERTED)
        cls.app = None
        assert pump_until(cls.pinlet_window_shows, 30), "Pinlet's window never reached the registry"

    @classmethod
    def pinlet_window_shows(cls):
        cls.app = next((a for a in pyatspi.Registry.getDesktop(0) if a and a.name == "Pinlet"), None)
        return cls.app is not None and named(cls.app, "push button", "Show Note").getState().contains(
            pyatspi.STATE_FOCUSED)

    @classmethod
    def stop_children(cls):
        for child in reversed(cls.children):
            child.terminate()
            try:
                child.wait(timeout=10)
            except subprocess.TimeoutExpired:
                child.kill()
                child.wait()
        cls.home.cleanup()
        pinlet = cls.children[2:3]
        assert all(child.returncode == 0 for child in pinlet), "Pinlet did not leave cleanly"

    def test_every_control_says_what_it_is(self):
        window = named(self.app, "filler", "Pinlet menu")
        controls = [(a.getRoleName(), a.name) for a in pyatspi.findAllDescendants(
            window, lambda a: a.getState().contains(pyatspi.STATE_FOCUSABLE) or
            a.getRoleName() == "separator")]
        self.assertEqual(controls, [("push button", "Show Note"), ("text", "Shortcut:"),
                                    ("push button", "Clear shortcut"), ("check box", "Launch at login"),
                                    ("separator", ""), ("push button", "Quit Pinlet")])
        field = named(window, "text", "Shortcut:")
        self.assertEqual((field.queryText().getText(0, -1), field.description), ("Ctrl+Alt+N", "⌃⌥N"))

    # Each step: what the user does, what the screen reader must hear in that order, and whether
    # the shortcut field then says it is read-only. Focus may come nowhere beyond where listed.
    def test_recording_and_focus_are_announced(self):
        steps = [
            (["Tab"], [(DESCRIPTION, "Shortcut:", "Press Shortcut"), (FOCUSED, "Shortcut:", 1)],
             False),
            (["Escape"], [(DESCRIPTION, "Shortcut:", "⌃⌥N")], True),
            (["space"], [(DESCRIPTION, "Shortcut:", "Press Shortcut")], False),
            (["ctrl+shift+k"], [(INSERTED, "Shortcut:", "Ctrl+Shift+K"),
                                (DESCRIPTION, "Shortcut:", "⌃⇧K")], True),
            (["Return"], [(DESCRIPTION, "Shortcut:", "Press Shortcut")], False),
            (["shift+Tab"], [(DESCRIPTION, "Shortcut:", "⌃⇧K"), (FOCUSED, "Show Note", 1)], True),
            ([PINLET, "--show"], [(FOCUSED, "Note", 1)], True),
            (["ctrl+Tab"], [(FOCUSED, "Copy all", 1)], True),
            (["space"], [(NAME, "Copied", "Copied")], True),
        ]
        field = named(self.app, "text", "Shortcut:")
        for action, expected, read_only in steps:
            self.events.clear()
            command = action if action[0] == PINLET else ["xdotool", "key", *action]
            subprocess.run(command, check=True)
            pump_until(lambda: len(self.events) >= len(expected) and self.events[-1][:2] == expected[-1][:2])
            pump_until(lambda: False, 0.1)  # stray events after the last expected one
            with self.subTest(action=action):
                focus_in = [e for e in self.events if e in expected or (e[0], e[2]) == (FOCUSED, 1)]
                self.assertEqual(focus_in, expected)
                self.assertEqual(field.getState().contains(pyatspi.STATE_READ_ONLY), read_only)
        named(self.app, "push button", "Clear")  # the panel's other button, beside "Copy all"


if __name__ == "__main__":
    unittest.main()
