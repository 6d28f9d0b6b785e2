#!/usr/bin/python3
# kwin_shot.py FILE.ppm [SCREEN]: a screenshot of KWin's whole workspace, or of the screen
# named, through its ScreenShot2 D-Bus interface (allowed to any caller when KWin runs with
# KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1), written as a binary PPM. KWin writes the raw
# QImage into a pipe and says its size, stride and format in the reply.
import os
import sys
import threading

from gi.repository import Gio, GLib

RGB32_FORMATS = (4, 5, 6)  # QImage's RGB32, ARGB32, ARGB32_Premultiplied: B, G, R, A in memory


def main():
    target = sys.argv[1]
    screen = sys.argv[2] if len(sys.argv) > 2 else None
    bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
    read_end, write_end = os.pipe()
    fds = Gio.UnixFDList.new()
    fds.append(write_end)
    os.close(write_end)
    chunks = []
    # A daemon: a failed call must not leave the program waiting on the pipe.
    reader = threading.Thread(
        target=lambda: chunks.extend(iter(lambda: os.read(read_end, 1 << 20), b"")), daemon=True)
    reader.start()
    options = {"native-resolution": GLib.Variant("b", True)}
    if screen:
        method, arguments = "CaptureScreen", GLib.Variant("(sa{sv}h)", (screen, options, 0))
    else:
        method, arguments = "CaptureWorkspace", GLib.Variant("(a{sv}h)", (options, 0))
    reply, _ = bus.call_with_unix_fd_list_sync(
        "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", method,
        arguments, GLib.VariantType("(a{sv})"), Gio.DBusCallFlags.NONE, 10000, fds, None)
    del fds  # its copy of the write end: the reader sees the end once KWin closes its own
    reader.join(10)
    results = reply.unpack()[0]
    width, height, stride = results["width"], results["height"], results["stride"]
    if results.get("format") not in RGB32_FORMATS:
        sys.exit("kwin_shot: image format %s" % results.get("format"))
    data = b"".join(chunks)
    rgb = bytearray()
    for y in range(height):
        row = data[y * stride:y * stride + width * 4]
        pixels = bytearray(width * 3)
        pixels[0::3], pixels[1::3], pixels[2::3] = row[2::4], row[1::4], row[0::4]
        rgb += pixels
    with open(target, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, height) + rgb)


main()
