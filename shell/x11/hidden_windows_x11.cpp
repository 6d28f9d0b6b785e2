// Hidden top-level windows on Linux and the GLib main loop that serves them.
#include "shell/x11/hidden_windows_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <glib.h>

#include "common/x11/x11_support.h"

namespace velmoria {

// The X source: ready whenever Xlib holds queued events or the connection has data.
struct XSourceX11 {
    GSource base;
    GPollFD poll;
    Display* display;
    HiddenWindowsX11* windows;

    static gboolean Prepare(GSource* source, gint* timeout) {
        *timeout = -1;
        return XPending(reinterpret_cast<XSourceX11*>(source)->display) > 0;
    }
    static gboolean Check(GSource* source) {
        XSourceX11* x = reinterpret_cast<XSourceX11*>(source);
        return (x->poll.revents & G_IO_IN) != 0 || XPending(x->display) > 0;
    }
    static gboolean Dispatch(GSource* source, GSourceFunc, gpointer) {
        XSourceX11* x = reinterpret_cast<XSourceX11*>(source);
        while (XPending(x->display) > 0) {
            XEvent event;
            XNextEvent(x->display, &event);
            x->windows->HandleEvent(x->display, event);
        }
        return G_SOURCE_CONTINUE;
    }
};

namespace {

GSourceFuncs xSourceFuncs = {
    XSourceX11::Prepare, XSourceX11::Check, XSourceX11::Dispatch, nullptr, nullptr, nullptr};

Atom DeleteWindowAtom(Display* display) {
    return XInternAtom(display, "WM_DELETE_WINDOW", False);
}

}  // namespace

void HiddenWindowsX11::Forget(Window window) {
    if (live_.erase(window) > 0 && live_.empty() && loop_ != nullptr) {
        g_main_loop_quit(loop_);
    }
}

void HiddenWindowsX11::HandleEvent(Display* display, const XEvent& event) {
    if (event.type == ClientMessage && live_.count(event.xclient.window) > 0 &&
        static_cast<Atom>(event.xclient.data.l[0]) == DeleteWindowAtom(display)) {
        const Window window = event.xclient.window;
        XDestroyWindow(display, window);
        XFlush(display);
        Forget(window);
    } else if (event.type == DestroyNotify) {
        Forget(event.xdestroywindow.window);
    }
}

bool HiddenWindowsX11::Create(Display* display, const char* title) {
    if (display == nullptr) {
        return false;
    }
    const Window window =
        XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
    if (window == None) {
        return false;
    }
    SetWindowTitleX11(display, window, title);
    Atom protocols = DeleteWindowAtom(display);
    XSetWMProtocols(display, window, &protocols, 1);
    XSelectInput(display, window, StructureNotifyMask);
    XFlush(display);
    live_.insert(window);
    return true;
}

void HiddenWindowsX11::RunWhileLoaded(Display* display) {
    if (display == nullptr || live_.empty()) {
        return;
    }
    GSource* source = g_source_new(&xSourceFuncs, sizeof(XSourceX11));
    XSourceX11* x = reinterpret_cast<XSourceX11*>(source);
    x->display = display;
    x->windows = this;
    x->poll.fd = ConnectionNumber(display);
    x->poll.events = G_IO_IN | G_IO_HUP | G_IO_ERR;
    g_source_add_poll(source, &x->poll);
    g_source_attach(source, nullptr);
    loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
    g_main_loop_unref(loop_);
    loop_ = nullptr;
    g_source_destroy(source);
    g_source_unref(source);
}

}  // namespace velmoria
