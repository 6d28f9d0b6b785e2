#include "idle/wayland/idle_source_wayland.h"

#include <glib-unix.h>
#include <glib.h>
#include <wayland-client.h>

#include <cstdlib>
#include <cstring>

#include "ext-idle-notify-v1-client-protocol.h"
#ifdef VELMORIA_IDLE_KDE
#include "kde-idle-client-protocol.h"
#endif

namespace velmoria {

namespace {

class IdleSourceWayland : public IdleSource {
  public:
    IdleSourceWayland(wl_display* display, IdleEvents& events)
        : display_(display), events_(events) {}

    ~IdleSourceWayland() override {
        if (connection_ != 0) {
            g_source_remove(connection_);
        }
        if (notification_ != nullptr) {
            ext_idle_notification_v1_destroy(notification_);
        }
        if (notifier_ != nullptr) {
            ext_idle_notifier_v1_destroy(notifier_);
        }
#ifdef VELMORIA_IDLE_KDE
        if (kdeTimeout_ != nullptr) {
            org_kde_kwin_idle_timeout_release(kdeTimeout_);
        }
        if (kdeIdle_ != nullptr) {
            org_kde_kwin_idle_destroy(kdeIdle_);
        }
#endif
        if (seat_ != nullptr) {
            wl_seat_destroy(seat_);
        }
        if (registry_ != nullptr) {
            wl_registry_destroy(registry_);
        }
        wl_display_disconnect(display_);
    }

    // Binds the globals and asks for the notification; false with `why` when it cannot.
    bool Start(uint32_t idleMs, std::string& why) {
        registry_ = wl_display_get_registry(display_);
        wl_registry_add_listener(registry_, &kRegistryListener, this);
        if (wl_display_roundtrip(display_) < 0) {
            why = "the compositor closed the connection";
            return false;
        }
        if (seat_ == nullptr) {
            why = "the compositor offers no seat";
            return false;
        }
        if (notifier_ != nullptr) {
            notification_ = ext_idle_notifier_v1_get_idle_notification(notifier_, idleMs, seat_);
            ext_idle_notification_v1_add_listener(notification_, &kNotificationListener, this);
#ifdef VELMORIA_IDLE_KDE
        } else if (kdeIdle_ != nullptr) {
            kdeTimeout_ = org_kde_kwin_idle_get_idle_timeout(kdeIdle_, seat_, idleMs);
            org_kde_kwin_idle_timeout_add_listener(kdeTimeout_, &kKdeTimeoutListener, this);
#endif
        } else {
            why =
                "the compositor offers no idle protocol (ext-idle-notify-v1"
#ifdef VELMORIA_IDLE_KDE
                " or org_kde_kwin_idle"
#endif
                ")";
            return false;
        }
        wl_display_flush(display_);
        connection_ =
            g_unix_fd_add(wl_display_get_fd(display_),
                          static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR), Readable, this);
        return true;
    }

  private:
    static gboolean Readable(gint, GIOCondition condition, gpointer self) {
        auto* source = static_cast<IdleSourceWayland*>(self);
        // Events already read are handled before a hang-up is.
        if (wl_display_dispatch(source->display_) < 0 || (condition & G_IO_IN) == 0) {
            source->connection_ = 0;
            source->events_.OnLost("the compositor closed the connection");
            return G_SOURCE_REMOVE;
        }
        wl_display_flush(source->display_);
        return G_SOURCE_CONTINUE;
    }

    static void Global(void* self, wl_registry* registry, uint32_t name, const char* interface,
                       uint32_t) {
        auto* source = static_cast<IdleSourceWayland*>(self);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && source->seat_ == nullptr) {
            source->seat_ =
                static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        } else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0) {
            source->notifier_ = static_cast<ext_idle_notifier_v1*>(
                wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
#ifdef VELMORIA_IDLE_KDE
        } else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0) {
            source->kdeIdle_ = static_cast<org_kde_kwin_idle*>(
                wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
#endif
        }
    }

    static void Idled(void* self, ext_idle_notification_v1*) {
        static_cast<IdleSourceWayland*>(self)->events_.OnIdle();
    }
    static void Resumed(void* self, ext_idle_notification_v1*) {
        static_cast<IdleSourceWayland*>(self)->events_.OnActive();
    }

    static constexpr wl_registry_listener kRegistryListener = {
        Global, [](void*, wl_registry*, uint32_t) {}};
    static constexpr ext_idle_notification_v1_listener kNotificationListener = {Idled, Resumed};
#ifdef VELMORIA_IDLE_KDE
    static void KdeIdle(void* self, org_kde_kwin_idle_timeout*) {
        static_cast<IdleSourceWayland*>(self)->events_.OnIdle();
    }
    static void KdeResumed(void* self, org_kde_kwin_idle_timeout*) {
        static_cast<IdleSourceWayland*>(self)->events_.OnActive();
    }
    static constexpr org_kde_kwin_idle_timeout_listener kKdeTimeoutListener = {KdeIdle, KdeResumed};
    org_kde_kwin_idle* kdeIdle_ = nullptr;
    org_kde_kwin_idle_timeout* kdeTimeout_ = nullptr;
#endif

    wl_display* display_;
    IdleEvents& events_;
    wl_registry* registry_ = nullptr;
    wl_seat* seat_ = nullptr;
    ext_idle_notifier_v1* notifier_ = nullptr;
    ext_idle_notification_v1* notification_ = nullptr;
    guint connection_ = 0;
};

}  // namespace

std::unique_ptr<IdleSource> OpenIdleSourceWayland(uint32_t idleMs, IdleEvents& events,
                                                  std::string& why) {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    if ((name == nullptr || name[0] == '\0') && std::getenv("WAYLAND_SOCKET") == nullptr) {
        why = "WAYLAND_DISPLAY is not set";
        return nullptr;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        why = std::string("cannot connect to the compositor ") + (name != nullptr ? name : "");
        return nullptr;
    }
    auto source = std::make_unique<IdleSourceWayland>(display, events);
    if (!source->Start(idleMs, why)) {
        return nullptr;
    }
    return source;
}

}  // namespace velmoria
