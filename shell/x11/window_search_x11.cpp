// The search of the window tree by title: the root's children and, for window-manager frames,
// their children.
#include "shell/x11/window_search_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>

#include <cstring>
#include <string>

#include "common/x11/x11_support.h"

namespace velmoria {

namespace {

bool HasTitle(Display* display, Window window, const char* title) {
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    bool match = false;
    if (XGetWindowProperty(display, window, netWmName, 0, 1024, False, utf8, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr) {
        match = type == utf8 && format == 8 &&
                std::string(reinterpret_cast<char*>(data), count) == title;
        XFree(data);
    }
    if (match) {
        return true;
    }
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        match = std::strcmp(name, title) == 0;
        XFree(name);
    }
    return match;
}

// The children of a window, or none when it has gone.
Window* Children(Display* display, Window window, unsigned int& count) {
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0) {
        count = 0;
        return nullptr;
    }
    return children;
}

}  // namespace

Window FindTopLevelWindowX11(Display* display, const char* title) {
    if (display == nullptr) {
        return None;
    }
    // A window that goes while it is looked at gives BadWindow.
    XErrorTrapX11 trap(display);
    Window found = None;
    unsigned int count = 0;
    Window* tops = Children(display, DefaultRootWindow(display), count);
    for (unsigned int i = 0; i < count && found == None; ++i) {
        if (HasTitle(display, tops[i], title)) {
            found = tops[i];
            break;
        }
        unsigned int innerCount = 0;
        Window* inner = Children(display, tops[i], innerCount);
        for (unsigned int j = 0; j < innerCount; ++j) {
            if (HasTitle(display, inner[j], title)) {
                found = inner[j];
                break;
            }
        }
        if (inner != nullptr) {
            XFree(inner);
        }
    }
    if (tops != nullptr) {
        XFree(tops);
    }
    return found;
}

}  // namespace velmoria
