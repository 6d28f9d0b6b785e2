// The server tells the idle time only when asked, so it is asked when the set time could next
// have passed, and while idle twice a second for the input that ends it. The connection's
// descriptor is watched so that a server that goes ends the watch.
#include "idle/x11/idle_source_x11.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>
#include <glib-unix.h>
#include <glib.h>

#include <cstdlib>

namespace velmoria {

namespace {

constexpr guint kActivityPollMs = 500;

class IdleSourceX11 : public IdleSource {
  public:
    IdleSourceX11(Display* display, uint32_t idleMs, IdleEvents& events)
        : display_(display), idleMs_(idleMs), events_(events), info_(XScreenSaverAllocInfo()) {
        connection_ = g_unix_fd_add_full(G_PRIORITY_DEFAULT, ConnectionNumber(display),
                                         static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                                         Readable, this, nullptr);
        Check();
    }
    ~IdleSourceX11() override {
        if (timer_ != 0) {
            g_source_remove(timer_);
        }
        if (connection_ != 0) {
            g_source_remove(connection_);
        }
        XFree(info_);
        XCloseDisplay(display_);
    }

  private:
    // The idle time now, in milliseconds.
    unsigned long IdleNow() {
        XScreenSaverQueryInfo(display_, DefaultRootWindow(display_), info_);
        return info_->idle;
    }

    void Check() {
        const unsigned long idle = IdleNow();
        if (!idle_ && idle >= idleMs_) {
            idle_ = true;
            events_.OnIdle();
        } else if (idle_ && idle < lastIdle_) {
            idle_ = false;
            events_.OnActive();
        }
        lastIdle_ = idle;
        const guint wait = idle_ ? kActivityPollMs : static_cast<guint>(idleMs_ - idle) + 1;
        timer_ = g_timeout_add(wait, Due, this);
    }

    static gboolean Due(gpointer self) {
        auto* source = static_cast<IdleSourceX11*>(self);
        source->timer_ = 0;
        source->Check();
        return G_SOURCE_REMOVE;
    }

    static gboolean Readable(gint, GIOCondition condition, gpointer self) {
        auto* source = static_cast<IdleSourceX11*>(self);
        if ((condition & (G_IO_HUP | G_IO_ERR)) != 0) {
            source->connection_ = 0;
            source->events_.OnLost("the X server has gone");
            return G_SOURCE_REMOVE;
        }
        // Nothing is selected; whatever comes is read and dropped.
        while (XPending(source->display_) > 0) {
            XEvent event;
            XNextEvent(source->display_, &event);
        }
        return G_SOURCE_CONTINUE;
    }

    Display* display_;
    uint32_t idleMs_;
    IdleEvents& events_;
    XScreenSaverInfo* info_;
    bool idle_ = false;
    unsigned long lastIdle_ = 0;
    guint timer_ = 0;
    guint connection_ = 0;
};

}  // namespace

std::unique_ptr<IdleSource> OpenIdleSourceX11(uint32_t idleMs, IdleEvents& events,
                                              std::string& why) {
    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || name[0] == '\0') {
        why = "DISPLAY is not set";
        return nullptr;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        why = std::string("cannot open the display ") + name;
        return nullptr;
    }
    int event = 0, error = 0;
    if (!XScreenSaverQueryExtension(display, &event, &error)) {
        XCloseDisplay(display);
        why = std::string("the display ") + name + " has no MIT-SCREEN-SAVER extension";
        return nullptr;
    }
    return std::make_unique<IdleSourceX11>(display, idleMs, events);
}

}  // namespace velmoria
