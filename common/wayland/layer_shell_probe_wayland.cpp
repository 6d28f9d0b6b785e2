// The layer-shell probe: a connection of its own, one round trip.
#include "common/wayland/layer_shell_probe_wayland.h"

#include <wayland-client.h>

#include <cstring>

namespace velmoria {

namespace {

// wl_registry.global: a global of the compositor announced.
void OnProbeGlobal(void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
    if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) {
        *static_cast<bool*>(data) = true;
    }
}

// wl_registry.global_remove: not needed.
void OnProbeGlobalRemove(void*, wl_registry*, uint32_t) {}

const wl_registry_listener probeListener = {
    &OnProbeGlobal,        // global
    &OnProbeGlobalRemove,  // global_remove
};

}  // namespace

wl_display* ConnectWithLayerShellWayland() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return nullptr;
    }
    bool found = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &probeListener, &found);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    if (!found) {
        wl_display_disconnect(display);
        return nullptr;
    }
    return display;
}

bool CompositorHasLayerShellWayland() {
    wl_display* display = ConnectWithLayerShellWayland();
    if (display == nullptr) {
        return false;
    }
    wl_display_disconnect(display);
    return true;
}

}  // namespace velmoria
