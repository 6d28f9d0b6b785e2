// The search of the window tree by title. Top-level windows are where a window manager leaves
// them: its clients sit inside frames, sometimes several windows deep (KWin: frame, wrapper,
// client; fvwm: frame, parent, client), and are listed on the root window (_NET_CLIENT_LIST);
// unmanaged and unmapped windows (the shell's hidden markers) are children of the root.
#include "shell/x11/window_search_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/x11/x11_support.h"

namespace velmoria {

namespace {

// How far below a root child a window manager's client may sit.
constexpr int kMaxFrameDepth = 4;

struct Atoms {
    Atom netWmName;
    Atom utf8;
    Atom wmState;
    Atom clientList;
    Atom clientListStacking;

    explicit Atoms(Display* display)
        : netWmName(XInternAtom(display, "_NET_WM_NAME", False)),
          utf8(XInternAtom(display, "UTF8_STRING", False)),
          wmState(XInternAtom(display, "WM_STATE", False)),
          clientList(XInternAtom(display, "_NET_CLIENT_LIST", False)),
          clientListStacking(XInternAtom(display, "_NET_CLIENT_LIST_STACKING", False)) {}
};

bool HasTitle(Display* display, const Atoms& atoms, Window window, const char* title) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, atoms.netWmName, 0, 1024, False, atoms.utf8, &type,
                           &format, &count, &after, &data) == Success &&
        data != nullptr) {
        const bool match = type == atoms.utf8 && format == 8 &&
                           std::string(reinterpret_cast<char*>(data), count) == title;
        XFree(data);
        if (match) {
            return true;
        }
    }
    char* name = nullptr;
    bool match = false;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        match = std::strcmp(name, title) == 0;
        XFree(name);
    }
    return match;
}

bool HasProperty(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, window, property, 0, 0, False, AnyPropertyType, &type, &format,
                           &count, &after, &data) != Success) {
        return false;
    }
    if (data != nullptr) {
        XFree(data);
    }
    return type != None;
}

// The children of a window; none when it has gone.
std::vector<Window> Children(Display* display, Window window) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> result;
    if (XQueryTree(display, window, &root, &parent, &children, &count) != 0 &&
        children != nullptr) {
        result.assign(children, children + count);
    }
    if (children != nullptr) {
        XFree(children);
    }
    return result;
}

// A window list on the root (a window manager's clients); empty when there is none.
std::vector<Window> RootList(Display* display, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    std::vector<Window> result;
    if (XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 65536, False,
                           XA_WINDOW, &type, &format, &count, &after, &data) == Success &&
        data != nullptr) {
        if (type == XA_WINDOW && format == 32) {
            const auto* windows = reinterpret_cast<const unsigned long*>(data);
            result.assign(windows, windows + count);
        }
        XFree(data);
    }
    return result;
}

// The client inside a window manager's frame: the first window with WM_STATE, breadth first,
// at most kMaxFrameDepth levels down; None when there is none.
Window ClientInside(Display* display, const Atoms& atoms, Window frame) {
    std::vector<Window> level = Children(display, frame);
    for (int depth = 0; depth < kMaxFrameDepth && !level.empty(); ++depth) {
        std::vector<Window> next;
        for (const Window window : level) {
            if (HasProperty(display, window, atoms.wmState)) {
                return window;
            }
            const std::vector<Window> children = Children(display, window);
            next.insert(next.end(), children.begin(), children.end());
        }
        level.swap(next);
    }
    return None;
}

}  // namespace

Window FindTopLevelWindowX11(Display* display, const char* title) {
    if (display == nullptr) {
        return None;
    }
    // A window that goes while it is looked at gives BadWindow; it is simply not found.
    XErrorTrapX11 trap(display);
    const Atoms atoms(display);
    std::set<Window> seen;
    auto matches = [&](Window window) {
        return window != None && seen.insert(window).second &&
               HasTitle(display, atoms, window, title);
    };
    // The clients a window manager lists, wherever it has put them.
    bool listed = false;
    for (const Atom list : {atoms.clientListStacking, atoms.clientList}) {
        for (const Window client : RootList(display, list)) {
            listed = true;
            if (matches(client)) {
                return client;
            }
        }
    }
    // The root's children: unmanaged and unmapped windows, and the frames of a window manager
    // that lists nothing, searched down to their client.
    const std::vector<Window> tops = Children(display, DefaultRootWindow(display));
    for (const Window top : tops) {
        if (matches(top)) {
            return top;
        }
    }
    if (!listed) {
        for (const Window top : tops) {
            if (HasProperty(display, top, atoms.wmState)) {
                continue;  // a client itself, already looked at
            }
            const Window client = ClientInside(display, atoms, top);
            if (matches(client)) {
                return client;
            }
        }
    }
    return None;
}

}  // namespace velmoria
