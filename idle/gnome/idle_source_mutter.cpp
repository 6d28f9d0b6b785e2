#include "idle/gnome/idle_source_mutter.h"

#include <gio/gio.h>

#include <cstdlib>

namespace velmoria {

namespace {

constexpr char kMutterName[] = "org.gnome.Mutter.IdleMonitor";
constexpr char kMutterPath[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char kMutterInterface[] = "org.gnome.Mutter.IdleMonitor";
constexpr int kCallTimeoutMs = 5000;
constexpr guint32 kInhibitIdle = 8;

std::string Message(GError* error) {
    std::string text = error->message;
    g_error_free(error);
    return text;
}

class IdleSourceMutter : public IdleSource {
  public:
    IdleSourceMutter(GDBusConnection* bus, IdleEvents& events) : bus_(bus), events_(events) {}

    ~IdleSourceMutter() override {
        if (nameWatch_ != 0) {
            g_bus_unwatch_name(nameWatch_);
        }
        if (subscription_ != 0) {
            g_dbus_connection_signal_unsubscribe(bus_, subscription_);
        }
        if (idleWatch_ != 0) {
            Call("RemoveWatch", g_variant_new("(u)", idleWatch_), nullptr);
        }
        g_object_unref(bus_);
    }

    bool Start(uint32_t idleMs, std::string& why) {
        GError* error = nullptr;
        GVariant* owner = g_dbus_connection_call_sync(
            bus_, "org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
            "GetNameOwner", g_variant_new("(s)", kMutterName), G_VARIANT_TYPE("(s)"),
            G_DBUS_CALL_FLAGS_NONE, kCallTimeoutMs, nullptr, &error);
        if (owner == nullptr) {
            g_error_free(error);
            why = std::string("no ") + kMutterName + " on the session bus";
            return false;
        }
        const gchar* unique = nullptr;
        g_variant_get(owner, "(&s)", &unique);
        owner_ = unique;
        g_variant_unref(owner);
        // Subscribed before the watch is added, so that no firing is missed.
        subscription_ = g_dbus_connection_signal_subscribe(
            bus_, owner_.c_str(), kMutterInterface, "WatchFired", kMutterPath, nullptr,
            G_DBUS_SIGNAL_FLAGS_NONE, Fired, this, nullptr);
        if (!Call("AddIdleWatch", g_variant_new("(t)", static_cast<guint64>(idleMs)), &idleWatch_,
                  &why)) {
            return false;
        }
        nameWatch_ = g_bus_watch_name_on_connection(
            bus_, kMutterName, G_BUS_NAME_WATCHER_FLAGS_NONE, nullptr, Vanished, this, nullptr);
        return true;
    }

  private:
    // A method of the idle monitor, its watch id (when asked) in `*id`.
    bool Call(const char* method, GVariant* parameters, guint32* id, std::string* why = nullptr) {
        GError* error = nullptr;
        GVariant* reply = g_dbus_connection_call_sync(
            bus_, owner_.c_str(), kMutterPath, kMutterInterface, method, parameters, nullptr,
            G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, &error);
        if (reply == nullptr) {
            const std::string text =
                std::string(kMutterInterface) + "." + method + ": " + Message(error);
            if (why != nullptr) {
                *why = text;
            }
            return false;
        }
        if (id != nullptr && g_variant_is_of_type(reply, G_VARIANT_TYPE("(u)"))) {
            g_variant_get(reply, "(u)", id);
        }
        g_variant_unref(reply);
        return true;
    }

    static void Fired(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                      GVariant* parameters, gpointer self) {
        auto* source = static_cast<IdleSourceMutter*>(self);
        if (!g_variant_is_of_type(parameters, G_VARIANT_TYPE("(u)"))) {
            return;
        }
        guint32 id = 0;
        g_variant_get(parameters, "(u)", &id);
        if (id == 0) {
            return;
        }
        if (id == source->idleWatch_) {
            // A user-active watch fires once, at the next input.
            std::string why;
            if (!source->Call("AddUserActiveWatch", nullptr, &source->activeWatch_, &why)) {
                source->events_.OnLost(why);
                return;
            }
            source->events_.OnIdle();
        } else if (id == source->activeWatch_) {
            source->activeWatch_ = 0;
            source->events_.OnActive();
        }
    }

    static void Vanished(GDBusConnection*, const gchar*, gpointer self) {
        static_cast<IdleSourceMutter*>(self)->events_.OnLost(std::string(kMutterName) +
                                                             " has left the session bus");
    }

    GDBusConnection* bus_;
    IdleEvents& events_;
    std::string owner_;
    guint subscription_ = 0;
    guint nameWatch_ = 0;
    guint32 idleWatch_ = 0;
    guint32 activeWatch_ = 0;
};

// Without an address nor the runtime folder's socket GIO would start a bus of its own ("dbus-launch
// --autolaunch"): a session without one has no GNOME.
bool SessionBusKnown() {
    if (std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) {
        return true;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr) {
        return false;
    }
    gchar* socket = g_build_filename(runtime, "bus", nullptr);
    const bool exists = g_file_test(socket, G_FILE_TEST_EXISTS);
    g_free(socket);
    return exists;
}

}  // namespace

std::unique_ptr<IdleSource> OpenIdleSourceMutter(uint32_t idleMs, IdleEvents& events,
                                                 std::string& why) {
    if (!SessionBusKnown()) {
        why = "no session bus (DBUS_SESSION_BUS_ADDRESS is not set)";
        return nullptr;
    }
    GError* error = nullptr;
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &error);
    if (bus == nullptr) {
        why = "no session bus: " + Message(error);
        return nullptr;
    }
    auto source = std::make_unique<IdleSourceMutter>(bus, events);
    if (!source->Start(idleMs, why)) {
        return nullptr;
    }
    return source;
}

bool SessionInhibitsIdle() {
    if (!SessionBusKnown()) {
        return false;
    }
    GDBusConnection* bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (bus == nullptr) {
        return false;
    }
    GVariant* reply = g_dbus_connection_call_sync(
        bus, "org.gnome.SessionManager", "/org/gnome/SessionManager", "org.gnome.SessionManager",
        "IsInhibited", g_variant_new("(u)", kInhibitIdle), G_VARIANT_TYPE("(b)"),
        G_DBUS_CALL_FLAGS_NO_AUTO_START, kCallTimeoutMs, nullptr, nullptr);
    g_object_unref(bus);
    if (reply == nullptr) {
        return false;
    }
    gboolean inhibited = FALSE;
    g_variant_get(reply, "(b)", &inhibited);
    g_variant_unref(reply);
    return inhibited;
}

}  // namespace velmoria
