// wayland-pointer WIDTHxHEIGHT X,Y...: moves a virtual pointer (zwlr_virtual_pointer_v1) of its own
// to each position of the compositor's layout (WIDTHxHEIGHT, its extent) in turn, a third of a
// second apart, after a pause that lets clients bind the new pointer. For the Wayland end-to-end
// tests of the mouse threshold.
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

zwlr_virtual_pointer_manager_v1* manager = nullptr;
int32_t extentWidth = 0;  // the layout's extent: the outputs' logical rectangles together
int32_t extentHeight = 0;

void Pause(long milliseconds) {
    timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

const wl_registry_listener registryListener = {
    [](void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0) {
            manager = static_cast<zwlr_virtual_pointer_manager_v1*>(
                wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
        }
    },
    [](void*, wl_registry*, uint32_t) {},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: wayland-pointer WIDTHxHEIGHT X,Y...\n");
        return 2;
    }
    if (std::sscanf(argv[1], "%dx%d", &extentWidth, &extentHeight) != 2) {
        std::fprintf(stderr, "wayland-pointer: the layout's extent is WIDTHxHEIGHT\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland-pointer: no compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (manager == nullptr) {
        std::fprintf(stderr, "wayland-pointer: no zwlr_virtual_pointer_manager_v1\n");
        return 1;
    }
    zwlr_virtual_pointer_v1* pointer =
        zwlr_virtual_pointer_manager_v1_create_virtual_pointer(manager, nullptr);
    wl_display_roundtrip(display);
    Pause(500);
    for (int i = 2; i < argc; ++i) {
        int x = 0, y = 0;
        if (std::sscanf(argv[i], "%d,%d", &x, &y) != 2) {
            std::fprintf(stderr, "wayland-pointer: a position is X,Y: %s\n", argv[i]);
            return 2;
        }
        const timespec now = [] {
            timespec t;
            clock_gettime(CLOCK_MONOTONIC, &t);
            return t;
        }();
        const uint32_t ms = static_cast<uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1000000);
        zwlr_virtual_pointer_v1_motion_absolute(
            pointer, ms, static_cast<uint32_t>(x), static_cast<uint32_t>(y),
            static_cast<uint32_t>(extentWidth), static_cast<uint32_t>(extentHeight));
        zwlr_virtual_pointer_v1_frame(pointer);
        wl_display_roundtrip(display);
        Pause(i == 2 ? 500 : 300);
    }
    zwlr_virtual_pointer_v1_destroy(pointer);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
