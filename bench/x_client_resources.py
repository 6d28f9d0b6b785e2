#!/usr/bin/env python3
"""What the X server holds for each process given, through the X-Resource extension (libXRes,
Debian package libxres1): all connections of a process are added up (a Wine process has several).
One line a process: PID WINDOWS PIXMAPS GCS PICTURES OTHER PIXMAP_KB CONNECTIONS.
Exits 2 without libXRes or an X server in DISPLAY.
  x_client_resources.py PID...
"""
import ctypes
import ctypes.util
import sys

XRES_CLIENT_ID_PID_MASK = 2
NAMED = {"WINDOW": 0, "PIXMAP": 1, "GC": 2, "PICTURE": 3}


class ClientIdSpec(ctypes.Structure):
    _fields_ = [("client", ctypes.c_ulong), ("mask", ctypes.c_uint)]


class ClientIdValue(ctypes.Structure):
    _fields_ = [("client_id", ClientIdSpec), ("length", ctypes.c_long), ("value", ctypes.c_void_p)]


class ResourceType(ctypes.Structure):
    _fields_ = [("resource_type", ctypes.c_ulong), ("count", ctypes.c_uint)]


def libraries():
    try:
        xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
        xres = ctypes.CDLL("libXRes.so.1")
    except OSError:
        return None, None
    xlib.XOpenDisplay.restype = ctypes.c_void_p
    xlib.XGetAtomName.restype = ctypes.c_void_p
    xlib.XGetAtomName.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    xlib.XFree.argtypes = [ctypes.c_void_p]
    xres.XResGetClientPid.argtypes = [ctypes.POINTER(ClientIdValue)]
    return xlib, xres


def client_pids(xlib, xres, display):
    """{resource base of a connection: its process id} for every connection that has one."""
    wanted = ClientIdSpec(0, XRES_CLIENT_ID_PID_MASK)
    count = ctypes.c_long()
    ids = ctypes.POINTER(ClientIdValue)()
    if xres.XResQueryClientIds(ctypes.c_void_p(display), 1, ctypes.byref(wanted),
                               ctypes.byref(count), ctypes.byref(ids)) != 0:
        return {}
    pids = {ids[i].client_id.client: xres.XResGetClientPid(ctypes.byref(ids[i]))
            for i in range(count.value)}
    xres.XResClientIdsDestroy(count, ids)
    return pids


def atom_name(xlib, display, atom, cache={}):
    if atom not in cache:
        text = xlib.XGetAtomName(ctypes.c_void_p(display), atom)
        cache[atom] = ctypes.string_at(text).decode() if text else ""
        if text:
            xlib.XFree(text)
    return cache[atom]


def add_connection(xlib, xres, display, base, figures):
    """Adds one connection's resources and pixmap bytes to figures (the columns above)."""
    count = ctypes.c_int()
    types = ctypes.POINTER(ResourceType)()
    if xres.XResQueryClientResources(ctypes.c_void_p(display), ctypes.c_ulong(base),
                                     ctypes.byref(count), ctypes.byref(types)) != 0:
        for i in range(count.value):
            name = atom_name(xlib, display, types[i].resource_type)
            figures[NAMED.get(name, 4)] += types[i].count
        xlib.XFree(types)
    pixmap_bytes = ctypes.c_ulong()
    if xres.XResQueryClientPixmapBytes(ctypes.c_void_p(display), ctypes.c_ulong(base),
                                       ctypes.byref(pixmap_bytes)) != 0:
        figures[5] += pixmap_bytes.value // 1024
    figures[6] += 1


def main():
    xlib, xres = libraries()
    display = xlib.XOpenDisplay(None) if xlib else None
    if not display:
        return 2
    wanted = {int(pid): [0] * 7 for pid in sys.argv[1:]}
    for base, pid in client_pids(xlib, xres, display).items():
        if pid in wanted:
            add_connection(xlib, xres, display, base, wanted[pid])
    for pid, figures in wanted.items():
        print(pid, *figures)
    return 0


sys.exit(main())
