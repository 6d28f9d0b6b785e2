// Hidden top-level windows on Linux: unmapped X windows with the title in WM_NAME and
// _NET_WM_NAME, served by GLib's main loop through an event source on the X connection.
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <glib.h>

#include <cstring>
#include <set>

#include "../shell_windows.h"
#include "display_x11.h"

namespace velmoria {

namespace {

std::set<Window> liveWindows;
GMainLoop* loop = nullptr;

Atom DeleteWindowAtom(Display* display) {
    return XInternAtom(display, "WM_DELETE_WINDOW", False);
}

void Forget(Window window) {
    if (liveWindows.erase(window) > 0 && liveWindows.empty() && loop != nullptr) {
        g_main_loop_quit(loop);
    }
}

void HandleEvent(Display* display, const XEvent& event) {
    if (event.type == ClientMessage && liveWindows.count(event.xclient.window) > 0 &&
        static_cast<Atom>(event.xclient.data.l[0]) == DeleteWindowAtom(display)) {
        const Window window = event.xclient.window;
        XDestroyWindow(display, window);
        XFlush(display);
        Forget(window);
    } else if (event.type == DestroyNotify) {
        Forget(event.xdestroywindow.window);
    }
}

// The X source: ready whenever Xlib holds queued events or the connection has data.
struct XSource {
    GSource base;
    GPollFD poll;
    Display* display;
};

gboolean Prepare(GSource* source, gint* timeout) {
    *timeout = -1;
    return XPending(reinterpret_cast<XSource*>(source)->display) > 0;
}

gboolean Check(GSource* source) {
    XSource* x = reinterpret_cast<XSource*>(source);
    return (x->poll.revents & G_IO_IN) != 0 || XPending(x->display) > 0;
}

gboolean Dispatch(GSource* source, GSourceFunc, gpointer) {
    Display* display = reinterpret_cast<XSource*>(source)->display;
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        HandleEvent(display, event);
    }
    return G_SOURCE_CONTINUE;
}

GSourceFuncs xSourceFuncs = {Prepare, Check, Dispatch, nullptr, nullptr, nullptr};

}  // namespace

bool CreateHiddenWindow(const char* title) {
    Display* display = ShellDisplay();
    if (display == nullptr) {
        return false;
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    if (window == None) {
        return false;
    }
    XStoreName(display, window, title);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
    Atom protocols = DeleteWindowAtom(display);
    XSetWMProtocols(display, window, &protocols, 1);
    XSelectInput(display, window, StructureNotifyMask);
    XFlush(display);
    liveWindows.insert(window);
    return true;
}

void RunWhileWindowsLoaded() {
    Display* display = ShellDisplay();
    if (display == nullptr || liveWindows.empty()) {
        return;
    }
    GSource* source = g_source_new(&xSourceFuncs, sizeof(XSource));
    XSource* x = reinterpret_cast<XSource*>(source);
    x->display = display;
    x->poll.fd = ConnectionNumber(display);
    x->poll.events = G_IO_IN | G_IO_HUP | G_IO_ERR;
    g_source_add_poll(source, &x->poll);
    g_source_attach(source, nullptr);
    loop = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop);
    g_main_loop_unref(loop);
    loop = nullptr;
    g_source_destroy(source);
    g_source_unref(source);
}

bool CloseWindowTitled(const char* title) {
    Display* display = ShellDisplay();
    const Window window = FindTopLevelWindow(display, title);
    if (window == None) {
        return false;
    }
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(DeleteWindowAtom(display));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XSync(display, False);
    return true;
}

}  // namespace velmoria
