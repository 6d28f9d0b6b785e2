// The shell's forms on X11. Sections: the GLib source of X events; forms; the loop.
#include "shell/x11/forms_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <glib.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "common/x11/x11_support.h"

namespace velmoria {

// ---- GLib sources ----

// The X source: ready whenever Xlib holds queued events or the connection has data.
struct XSourceX11 {
    GSource base;
    GPollFD poll;
    FormsX11* forms;

    static gboolean Prepare(GSource* source, gint* timeout) {
        *timeout = -1;
        FormsX11* forms = reinterpret_cast<XSourceX11*>(source)->forms;
        return forms->display_ != nullptr && XPending(forms->display_) > 0;
    }
    static gboolean Check(GSource* source) {
        XSourceX11* x = reinterpret_cast<XSourceX11*>(source);
        return x->forms->display_ != nullptr &&
               ((x->poll.revents & G_IO_IN) != 0 || XPending(x->forms->display_) > 0);
    }
    static gboolean Dispatch(GSource* source, GSourceFunc, gpointer) {
        reinterpret_cast<XSourceX11*>(source)->forms->HandlePending();
        return G_SOURCE_CONTINUE;
    }
};

namespace {

GSourceFuncs xSourceFuncs = {
    XSourceX11::Prepare, XSourceX11::Check, XSourceX11::Dispatch, nullptr, nullptr, nullptr};

Atom DeleteWindowAtom(Display* display) {
    return XInternAtom(display, "WM_DELETE_WINDOW", False);
}

// The shift and width of a visual's colour mask, for building its pixel values.
struct Channel {
    int shift = 0;
    int bits = 0;
};

Channel ChannelOf(unsigned long mask) {
    Channel channel;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++channel.shift;
    }
    while ((mask & 1) != 0) {
        mask >>= 1;
        ++channel.bits;
    }
    return channel;
}

unsigned long Component(uint8_t value, const Channel& channel) {
    const unsigned long scaled = channel.bits >= 8
                                     ? static_cast<unsigned long>(value) << (channel.bits - 8)
                                     : static_cast<unsigned long>(value) >> (8 - channel.bits);
    return scaled << channel.shift;
}

}  // namespace

void FormsX11::OnFormTimer(WindowHandle form, int timer) {
    const auto found = forms_.find(static_cast<Window>(form));
    if (!ended_ && found != forms_.end() && found->second.events != nullptr) {
        found->second.events->OnTimer(timer);
    }
}

// ---- Forms ----

FormsX11::FormsX11(Display* display) : display_(display) {}

FormsX11::~FormsX11() = default;

void FormsX11::CatchEndingSignals() {
    loop_.CatchEndingSignals();
}

unsigned long FormsX11::Pixel(uint32_t rgb) const {
    Visual* visual = DefaultVisual(display_, DefaultScreen(display_));
    return Component(static_cast<uint8_t>(rgb >> 16), ChannelOf(visual->red_mask)) |
           Component(static_cast<uint8_t>(rgb >> 8), ChannelOf(visual->green_mask)) |
           Component(static_cast<uint8_t>(rgb), ChannelOf(visual->blue_mask));
}

Window FormsX11::Create(const char* title, uint32_t background, FormEvents* events) {
    // From the first form on, an ending signal closes the forms: one that comes before the loop
    // runs (the session starts its renderer first) waits for it, never ending the default way.
    CatchEndingSignals();
    if (display_ == nullptr || ended_) {
        return None;
    }
    const Window window = XCreateSimpleWindow(display_, DefaultRootWindow(display_), 0, 0, 1, 1, 0,
                                              0, Pixel(background));
    if (window == None) {
        return None;
    }
    SetWindowTitleX11(display_, window, title);
    Atom protocols = DeleteWindowAtom(display_);
    XSetWMProtocols(display_, window, &protocols, 1);
    XSelectInput(display_, window, StructureNotifyMask | ExposureMask);
    XFlush(display_);
    forms_[window].events = events;
    return window;
}

void FormsX11::Show(Window form) {
    if (display_ != nullptr && forms_.count(form) > 0) {
        XMapWindow(display_, form);
        XFlush(display_);
    }
}

void FormsX11::SetTimer(Window form, int timer, uint32_t intervalMs) {
    if (forms_.count(form) > 0) {
        loop_.SetTimer(form, timer, ended_ ? 0 : intervalMs);
    }
}

void FormsX11::Move(Window form, int32_t x, int32_t y, int32_t width, int32_t height) {
    if (display_ == nullptr || forms_.count(form) == 0) {
        return;
    }
    // X refuses windows without area; such a form is left unmapped instead.
    if (width <= 0 || height <= 0) {
        XUnmapWindow(display_, form);
        return;
    }
    XMoveResizeWindow(display_, form, x, y, static_cast<unsigned>(width),
                      static_cast<unsigned>(height));
    XFlush(display_);
}

void FormsX11::SetPicture(Window form, int32_t x, int32_t y, PixelImage picture) {
    const auto found = forms_.find(form);
    if (found == forms_.end()) {
        return;
    }
    found->second.pictureX = x;
    found->second.pictureY = y;
    found->second.picture = std::move(picture);
    if (found->second.mapped) {
        Draw(form, found->second);
    }
}

int32_t FormsX11::Reparent(Window form, Window parent) {
    if (display_ == nullptr || forms_.count(form) == 0) {
        return 0;
    }
    XErrorTrapX11 trap(display_);  // the parent may be no window, or gone
    XReparentWindow(display_, form, parent, 0, 0);
    return trap.Caught() ? 0 : static_cast<int32_t>(parent);
}

void FormsX11::Draw(Window form, Form& state) {
    const PixelImage& picture = state.picture;
    if (display_ == nullptr || picture.width <= 0 || picture.height <= 0) {
        return;
    }
    const int screen = DefaultScreen(display_);
    XImage* image = XCreateImage(display_, DefaultVisual(display_, screen),
                                 static_cast<unsigned>(DefaultDepth(display_, screen)), ZPixmap, 0,
                                 nullptr, static_cast<unsigned>(picture.width),
                                 static_cast<unsigned>(picture.height), 32, 0);
    if (image == nullptr) {
        return;
    }
    image->data = static_cast<char*>(std::malloc(static_cast<size_t>(image->bytes_per_line) *
                                                 static_cast<size_t>(picture.height)));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return;
    }
    for (int32_t y = 0; y < picture.height; ++y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint8_t* p = &picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3];
            XPutPixel(image, x, y, Pixel((uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2]));
        }
    }
    XPutImage(display_, form, DefaultGC(display_, screen), image, 0, 0, state.pictureX,
              state.pictureY, static_cast<unsigned>(picture.width),
              static_cast<unsigned>(picture.height));
    XDestroyImage(image);  // frees the pixels too
    XFlush(display_);
}

void FormsX11::Forget(Window form) {
    const auto found = forms_.find(form);
    if (found == forms_.end()) {
        return;
    }
    loop_.StopTimers(form);
    forms_.erase(found);
    if (forms_.empty()) {
        loop_.Quit();
    }
}

bool FormsX11::Watch(Window window) {
    if (display_ == nullptr) {
        return false;
    }
    XErrorTrapX11 trap(display_);  // it may be gone already
    XSelectInput(display_, window, StructureNotifyMask);
    if (trap.Caught()) {
        return false;
    }
    watched_.insert(window);
    return true;
}

void FormsX11::HandlePending() {
    while (display_ != nullptr && !ended_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        HandleEvent(event);
    }
}

void FormsX11::HandleEvent(const XEvent& event) {
    switch (event.type) {
        case ClientMessage: {
            const Window window = event.xclient.window;
            const auto found = forms_.find(window);
            if (found == forms_.end() ||
                static_cast<Atom>(event.xclient.data.l[0]) != DeleteWindowAtom(display_)) {
                return;
            }
            if (found->second.events != nullptr) {
                found->second.events->OnQueryUnload();
            } else {
                XDestroyWindow(display_, window);
                XFlush(display_);
                Forget(window);
            }
            return;
        }
        case DestroyNotify:
            watched_.erase(event.xdestroywindow.window);
            Forget(event.xdestroywindow.window);
            return;
        case MapNotify:
            if (const auto found = forms_.find(event.xmap.window); found != forms_.end()) {
                found->second.mapped = true;
            }
            return;
        case Expose:
            if (const auto found = forms_.find(event.xexpose.window);
                found != forms_.end() && event.xexpose.count == 0) {
                Draw(found->first, found->second);
            }
            return;
        default:
            return;
    }
}

void FormsX11::CloseAllFromOutside() {
    std::vector<Window> forms;
    for (const auto& [window, form] : forms_) {
        forms.push_back(window);
    }
    for (const Window window : forms) {
        const auto found = forms_.find(window);
        if (ended_ || found == forms_.end()) {
            continue;
        }
        if (found->second.events != nullptr) {
            found->second.events->OnQueryUnload();
        }
    }
    EndProgram();
}

void FormsX11::EndProgram() {
    ended_ = true;
    loop_.StopAllTimers();
    for (auto& [window, form] : forms_) {
        if (display_ != nullptr) {
            XDestroyWindow(display_, window);
        }
    }
    forms_.clear();
    if (display_ != nullptr) {
        XFlush(display_);
    }
    loop_.Quit();
}

// ---- The loop ----

void FormsX11::RunWhileLoaded() {
    if (display_ == nullptr || forms_.empty() || ended_) {
        return;
    }
    GSource* source = g_source_new(&xSourceFuncs, sizeof(XSourceX11));
    XSourceX11* x = reinterpret_cast<XSourceX11*>(source);
    x->forms = this;
    x->poll.fd = ConnectionNumber(display_);
    x->poll.events = G_IO_IN | G_IO_HUP | G_IO_ERR;
    g_source_add_poll(source, &x->poll);
    g_source_attach(source, nullptr);
    loop_.Run();
    g_source_destroy(source);
    g_source_unref(source);
}

}  // namespace velmoria
