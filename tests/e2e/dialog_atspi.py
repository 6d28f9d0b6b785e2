#!/usr/bin/env python3
"""The settings dialog as a screen reader finds it through AT-SPI.

  dialog_atspi.py tree KIND PATH   every control's role, name and states, for the music kind
                                   selected (0 none, 1 CD, 2 file) and the path shown
  dialog_atspi.py focus NAME       waits until the control named NAME has the focus
  dialog_atspi.py checked NAME     waits until the music kind named NAME is the one checked

Prints what differs and exits 1; 0 when all is as expected.
"""
import sys
import time

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

KINDS = ["なし", "音楽CD", "MP3、WAV"]  # by music kind
REPEAT = "曲目をﾘﾋﾟｰﾄ"
BUTTONS = ["...", "設定", "ｷｬﾝｾﾙ"]
FILE_LABEL = "BGMﾌｧｲﾙ"
LINK = "https://velmoria.org/"
WINDOW = "<Velmoria>"
DEADLINE = 20  # seconds; a ceiling for a busy machine


def states(node):
    return {Atspi.StateType(s).value_nick for s in node.get_state_set().get_states()}


def dialog():
    """The dialog's window, once its program has joined the accessibility bus."""
    end = time.monotonic() + DEADLINE
    while True:
        desktop = Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            for j in range(app.get_child_count() if app else 0):
                window = app.get_child_at_index(j)
                if window and window.get_name() == WINDOW:
                    return window
        if time.monotonic() > end:
            sys.exit("no accessible window named %s" % WINDOW)
        time.sleep(0.2)


def controls(node):
    """Every object under `node`, leaving out the track box's list."""
    yield node
    if node.get_role() == Atspi.Role.MENU:
        return
    for i in range(node.get_child_count()):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from controls(child)


def named(window):
    """The controls by role and name."""
    found = {}
    for node in controls(window):
        found.setdefault((node.get_role_name(), node.get_name()), node)
    return found


def on_off(enabled):
    """The states a control has, and lacks, as it is enabled or not."""
    both = ("enabled", "sensitive")
    return (both, ()) if enabled else ((), both)


def check_tree(kind, path):
    window = dialog()
    found = named(window)
    problems = []

    def expect(role, name, have=(), lack=()):
        node = found.get((role, name))
        if node is None:
            problems.append("no %s named %r" % (role, name))
            return None
        held = states(node)
        for state in have:
            if state not in held:
                problems.append("%s %r is not %s" % (role, name, state))
        for state in lack:
            if state in held:
                problems.append("%s %r is %s" % (role, name, state))
        return node

    if window.get_role_name() not in ("dialog", "frame"):
        problems.append("the window is a %s" % window.get_role_name())
    for index, name in enumerate(KINDS):
        checked = ("checked",) if index == kind else ()
        unchecked = ("checked",) if index != kind else ()
        expect("radio button", name, ("focusable", "enabled") + checked, unchecked)
    expect("combo box", REPEAT, *on_off(kind == 1))
    for index, name in enumerate(BUTTONS):
        have, lack = on_off(index != 0 or kind == 2)
        expect("push button", name, ("focusable",) + have, lack)
    label = expect("label", FILE_LABEL, (), ("editable", "focusable"))
    if label is not None:
        try:
            shown = Atspi.Text.get_text(label, 0, -1)
        except GLib.Error:
            shown = None
        if shown != path:
            problems.append("the path box reads %r, not %r" % (shown, path))
    link = expect("link", LINK, ("focusable", "enabled"))
    if link is not None:
        hyperlink = link.get_hyperlink()
        address = hyperlink.get_uri(0) if hyperlink else None
        if address != LINK:
            problems.append("the link's address is %r" % address)
    for problem in problems:
        print(problem)
    return not problems


def focused_name(window):
    """The name of the control with the focus: the focused object's, or its nearest named
    container's (the track box's edit field is named by the box)."""
    for node in controls(window):
        if "focused" in states(node):
            while node is not None and not node.get_name():
                node = node.get_parent()
            return node.get_name() if node is not None else ""
    return None


def checked_name(window):
    for node in controls(window):
        if node.get_role() == Atspi.Role.RADIO_BUTTON and "checked" in states(node):
            return node.get_name()
    return None


def wait_for(what, read, name):
    window = dialog()
    end = time.monotonic() + DEADLINE
    while True:
        now = read(window)
        if now == name:
            return True
        if time.monotonic() > end:
            print("%s: %r, not %r" % (what, now, name))
            return False
        time.sleep(0.1)


def main(argv):
    if argv[1:2] == ["tree"] and len(argv) == 4:
        return check_tree(int(argv[2]), argv[3])
    if argv[1:2] == ["focus"] and len(argv) == 3:
        return wait_for("the focus", focused_name, argv[2])
    if argv[1:2] == ["checked"] and len(argv) == 3:
        return wait_for("the checked kind", checked_name, argv[2])
    sys.exit(__doc__)


if __name__ == "__main__":
    sys.exit(0 if main(sys.argv) else 1)
