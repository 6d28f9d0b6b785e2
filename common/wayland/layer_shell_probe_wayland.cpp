// The layer-shell probe: a connection of its own, one round trip.
#include "common/wayland/layer_shell_probe_wayland.h"

#include <wayland-client.h>

#include <cstring>

namespace velmoria {

namespace {

const wl_registry_listener probeListener = {
    [](void* data, wl_registry*, uint32_t, const char* interface, uint32_t) {
        if (std::strcmp(interface, "zwlr_layer_shell_v1") == 0) {
            *static_cast<bool*>(data) = true;
        }
    },
    [](void*, wl_registry*, uint32_t) {},
};

}  // namespace

bool CompositorHasLayerShellWayland() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        return false;
    }
    bool found = false;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &probeListener, &found);
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return found;
}

}  // namespace velmoria
