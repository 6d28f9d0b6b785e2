// fake-mutter-idle: GNOME's idle monitor and session manager as velmoria-idle meets them on the
// session bus, driven by lines on standard input, for testing without GNOME Shell:
//   idle       WatchFired for every idle watch (AddIdleWatch), as Mutter sends at the set time
//   active     WatchFired for every user-active watch, each then removed, as Mutter does
//   inhibit    org.gnome.SessionManager.IsInhibited(8) answers true from now on
//   uninhibit  ... false
// Prints "ready" once both names are owned, and each call ("AddIdleWatch 2000").
#include <gio/gio.h>
#include <glib-unix.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kMonitorXml[] =
    "<node><interface name='org.gnome.Mutter.IdleMonitor'>"
    "<method name='GetIdletime'><arg type='t' direction='out'/></method>"
    "<method name='AddIdleWatch'><arg type='t' direction='in'/>"
    "<arg type='u' direction='out'/></method>"
    "<method name='AddUserActiveWatch'><arg type='u' direction='out'/></method>"
    "<method name='RemoveWatch'><arg type='u' direction='in'/></method>"
    "<signal name='WatchFired'><arg type='u'/></signal>"
    "</interface></node>";
const char kSessionXml[] =
    "<node><interface name='org.gnome.SessionManager'>"
    "<method name='IsInhibited'><arg type='u' direction='in'/>"
    "<arg type='b' direction='out'/></method>"
    "</interface></node>";

GDBusConnection* bus = nullptr;
std::vector<guint32> idleWatches;
std::vector<guint32> activeWatches;
guint32 nextWatch = 1;
bool inhibited = false;
int owned = 0;

void Fire(guint32 id) {
    g_dbus_connection_emit_signal(bus, nullptr, "/org/gnome/Mutter/IdleMonitor/Core",
                                  "org.gnome.Mutter.IdleMonitor", "WatchFired",
                                  g_variant_new("(u)", id), nullptr);
    g_dbus_connection_flush_sync(bus, nullptr, nullptr);
}

void MonitorCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar* method,
                 GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
    if (std::strcmp(method, "AddIdleWatch") == 0) {
        guint64 ms = 0;
        g_variant_get(parameters, "(t)", &ms);
        std::printf("AddIdleWatch %llu\n", static_cast<unsigned long long>(ms));
        idleWatches.push_back(nextWatch);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", nextWatch++));
    } else if (std::strcmp(method, "AddUserActiveWatch") == 0) {
        std::printf("AddUserActiveWatch\n");
        activeWatches.push_back(nextWatch);
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(u)", nextWatch++));
    } else if (std::strcmp(method, "RemoveWatch") == 0) {
        std::printf("RemoveWatch\n");
        g_dbus_method_invocation_return_value(invocation, nullptr);
    } else {
        g_dbus_method_invocation_return_value(invocation, g_variant_new("(t)", guint64{0}));
    }
    std::fflush(stdout);
}

void SessionCall(GDBusConnection*, const gchar*, const gchar*, const gchar*, const gchar*,
                 GVariant* parameters, GDBusMethodInvocation* invocation, gpointer) {
    guint32 flags = 0;
    g_variant_get(parameters, "(u)", &flags);
    std::printf("IsInhibited %u\n", flags);
    std::fflush(stdout);
    g_dbus_method_invocation_return_value(invocation,
                                          g_variant_new("(b)", inhibited && (flags & 8) != 0));
}

void Register(const char* xml, const char* path, GDBusInterfaceMethodCallFunc call) {
    GDBusNodeInfo* node = g_dbus_node_info_new_for_xml(xml, nullptr);
    static GDBusInterfaceVTable tables[2];
    static int used = 0;
    tables[used] = {call, nullptr, nullptr, {}};
    g_dbus_connection_register_object(bus, path, node->interfaces[0], &tables[used++], nullptr,
                                      nullptr, nullptr);
}

gboolean Command(GIOChannel* channel, GIOCondition, gpointer loop) {
    gchar* line = nullptr;
    if (g_io_channel_read_line(channel, &line, nullptr, nullptr, nullptr) != G_IO_STATUS_NORMAL) {
        g_main_loop_quit(static_cast<GMainLoop*>(loop));
        return G_SOURCE_REMOVE;
    }
    const std::string command = g_strstrip(line);
    g_free(line);
    if (command == "idle") {
        for (const guint32 id : idleWatches) {
            Fire(id);
        }
    } else if (command == "active") {
        const std::vector<guint32> fired = activeWatches;
        activeWatches.clear();
        for (const guint32 id : fired) {
            Fire(id);
        }
    } else {
        inhibited = command == "inhibit";
    }
    return G_SOURCE_CONTINUE;
}

void Owned(GDBusConnection*, const gchar*, gpointer) {
    if (++owned == 2) {
        std::printf("ready\n");
        std::fflush(stdout);
    }
}

}  // namespace

int main() {
    bus = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
    if (bus == nullptr) {
        std::fprintf(stderr, "fake-mutter-idle: no session bus\n");
        return 1;
    }
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    Register(kMonitorXml, "/org/gnome/Mutter/IdleMonitor/Core", MonitorCall);
    Register(kSessionXml, "/org/gnome/SessionManager", SessionCall);
    for (const char* name : {"org.gnome.Mutter.IdleMonitor", "org.gnome.SessionManager"}) {
        g_bus_own_name_on_connection(bus, name, G_BUS_NAME_OWNER_FLAGS_NONE, Owned, nullptr,
                                     nullptr, nullptr);
    }
    GIOChannel* input = g_io_channel_unix_new(0);
    g_io_add_watch(input, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP), Command, loop);
    g_main_loop_run(loop);
    return 0;
}
