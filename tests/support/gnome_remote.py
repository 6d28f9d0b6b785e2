#!/usr/bin/python3
"""Drives a GNOME Shell session over its own D-Bus interfaces, for the GNOME end-to-end test.

  gnome_remote.py ready              exit 0 once the shell serves input and screenshots
  gnome_remote.py shot FILE          a PNG of the whole screen, the shell's top bar included
  gnome_remote.py serve IN OUT       input through one remote-desktop session of Mutter: each
                                     line read from IN is a list of actions, answered on OUT
                                     with "ok" once sent, or with what went wrong:
      home            the pointer to 0,0 (a far move, held at the screen's corner)
      move DX,DY      a relative pointer move
      click           a left button press and release
      key KEY         a key pressed and released: one character, or a keysym such as 0xff1b
      pause SECONDS   a wait between actions

Relative moves are not accelerated (virtual devices skip libinput), so `home` and a move make an
absolute position without a screen-cast stream. One session serves the whole test: XWayland
drops the first key press of each new virtual keyboard, so a session started per key loses it.
"""
import sys
import time

from gi.repository import Gio, GLib

BTN_LEFT = 0x110
SHELL_NAMES = ("org.gnome.Mutter.RemoteDesktop", "org.gnome.Shell.Screenshot")


def call(bus, name, path, interface, method, args=None, reply=None):
    return bus.call_sync(name, path, interface, method, args,
                         GLib.VariantType(reply) if reply else None,
                         Gio.DBusCallFlags.NONE, 10000, None)


def ready(bus):
    names = call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "ListNames", reply="(as)").unpack()[0]
    return all(name in names for name in SHELL_NAMES)


def shot(bus, file):
    # The shell answers screenshot calls only from the programs it trusts, gnome-screenshot
    # among them, known by the bus name this takes.
    owned = call(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "RequestName", GLib.Variant("(su)", ("org.gnome.Screenshot", 4)), "(u)")
    if owned.unpack()[0] not in (1, 4):
        sys.exit("the name org.gnome.Screenshot is taken")
    done, used = call(bus, "org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
                      "org.gnome.Shell.Screenshot", "Screenshot",
                      GLib.Variant("(bbs)", (False, False, file)), "(bs)").unpack()
    if not done:
        sys.exit("no screenshot: " + used)


def keysym(key):
    return int(key, 16) if key.startswith("0x") else ord(key)


class Session:
    def __init__(self, bus):
        self.bus = bus
        self.path = call(bus, "org.gnome.Mutter.RemoteDesktop", "/org/gnome/Mutter/RemoteDesktop",
                         "org.gnome.Mutter.RemoteDesktop", "CreateSession",
                         reply="(o)").unpack()[0]
        self.notify("Start", "()")
        # The key XWayland would drop, pressed while no window of a test is shown.
        self.run(["key", "0xffe1"])

    def notify(self, method, signature, *args):
        call(self.bus, "org.gnome.Mutter.RemoteDesktop", self.path,
             "org.gnome.Mutter.RemoteDesktop.Session", method, GLib.Variant(signature, args))

    def run(self, actions):
        while actions:
            action = actions.pop(0)
            if action == "home":
                self.notify("NotifyPointerMotionRelative", "(dd)", -10000.0, -10000.0)
            elif action == "move":
                dx, dy = (float(v) for v in actions.pop(0).split(","))
                self.notify("NotifyPointerMotionRelative", "(dd)", dx, dy)
            elif action == "click":
                self.notify("NotifyPointerButton", "(ib)", BTN_LEFT, True)
                self.notify("NotifyPointerButton", "(ib)", BTN_LEFT, False)
            elif action == "key":
                sym = keysym(actions.pop(0))
                self.notify("NotifyKeyboardKeysym", "(ub)", sym, True)
                self.notify("NotifyKeyboardKeysym", "(ub)", sym, False)
            elif action == "pause":
                time.sleep(float(actions.pop(0)))
            else:
                raise ValueError("unknown action " + action)


def serve(bus, requests, answers):
    session = Session(bus)
    with open(requests) as lines, open(answers, "w", buffering=1) as out:
        for line in lines:
            try:
                session.run(line.split())
                out.write("ok\n")
            except (ValueError, IndexError, GLib.Error) as error:
                out.write("%s\n" % str(error).replace("\n", " "))
    session.notify("Stop", "()")


def main():
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    command = sys.argv[1] if len(sys.argv) > 1 else ""
    if command == "ready":
        sys.exit(0 if ready(bus) else 1)
    if command == "shot" and len(sys.argv) == 3:
        shot(bus, sys.argv[2])
    elif command == "serve" and len(sys.argv) == 4:
        serve(bus, sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
