// wayland-idle-inhibitor: a window of its own (an xdg toplevel, 64 x 64, grey) holding an idle
// inhibitor (zwp_idle_inhibit_manager_v1) on its surface, as a video player does, until it is
// ended. Prints "inhibiting" once the window is shown with the inhibitor. For the idle tests.
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>

#include "idle-inhibit-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

namespace {

constexpr int kSize = 64;

wl_compositor* compositor = nullptr;
wl_shm* shm = nullptr;
xdg_wm_base* wmBase = nullptr;
zwp_idle_inhibit_manager_v1* inhibitManager = nullptr;
bool configured = false;

const wl_registry_listener registryListener = {
    [](void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t) {
        if (std::strcmp(interface, wl_compositor_interface.name) == 0) {
            compositor = static_cast<wl_compositor*>(
                wl_registry_bind(registry, name, &wl_compositor_interface, 1));
        } else if (std::strcmp(interface, wl_shm_interface.name) == 0) {
            shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
        } else if (std::strcmp(interface, xdg_wm_base_interface.name) == 0) {
            wmBase = static_cast<xdg_wm_base*>(
                wl_registry_bind(registry, name, &xdg_wm_base_interface, 1));
        } else if (std::strcmp(interface, zwp_idle_inhibit_manager_v1_interface.name) == 0) {
            inhibitManager = static_cast<zwp_idle_inhibit_manager_v1*>(
                wl_registry_bind(registry, name, &zwp_idle_inhibit_manager_v1_interface, 1));
        }
    },
    [](void*, wl_registry*, uint32_t) {},
};

const xdg_wm_base_listener wmBaseListener = {
    [](void*, xdg_wm_base* base, uint32_t serial) { xdg_wm_base_pong(base, serial); },
};

const xdg_surface_listener surfaceListener = {
    [](void*, xdg_surface* surface, uint32_t serial) {
        xdg_surface_ack_configure(surface, serial);
        configured = true;
    },
};

const xdg_toplevel_listener toplevelListener = {
    [](void*, xdg_toplevel*, int32_t, int32_t, wl_array*) {},
    [](void*, xdg_toplevel*) {},
    [](void*, xdg_toplevel*, int32_t, int32_t) {},
    [](void*, xdg_toplevel*, wl_array*) {},
};

// A grey buffer of kSize x kSize in shared memory.
wl_buffer* GreyBuffer() {
    const int stride = kSize * 4;
    const int bytes = stride * kSize;
    const int fd = memfd_create("wayland-idle-inhibitor", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, bytes) != 0) {
        return nullptr;
    }
    void* pixels = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (pixels == MAP_FAILED) {
        return nullptr;
    }
    std::memset(pixels, 0x80, bytes);
    wl_shm_pool* pool = wl_shm_create_pool(shm, fd, bytes);
    wl_buffer* buffer =
        wl_shm_pool_create_buffer(pool, 0, kSize, kSize, stride, WL_SHM_FORMAT_XRGB8888);
    wl_shm_pool_destroy(pool);
    close(fd);
    return buffer;
}

}  // namespace

int main() {
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland-idle-inhibitor: no compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (compositor == nullptr || shm == nullptr || wmBase == nullptr || inhibitManager == nullptr) {
        std::fprintf(stderr, "wayland-idle-inhibitor: the compositor lacks a global it needs\n");
        return 1;
    }
    xdg_wm_base_add_listener(wmBase, &wmBaseListener, nullptr);
    wl_surface* surface = wl_compositor_create_surface(compositor);
    xdg_surface* shellSurface = xdg_wm_base_get_xdg_surface(wmBase, surface);
    xdg_surface_add_listener(shellSurface, &surfaceListener, nullptr);
    xdg_toplevel* toplevel = xdg_surface_get_toplevel(shellSurface);
    xdg_toplevel_add_listener(toplevel, &toplevelListener, nullptr);
    xdg_toplevel_set_title(toplevel, "idle inhibitor");
    wl_surface_commit(surface);
    while (!configured && wl_display_dispatch(display) >= 0) {
    }
    wl_buffer* buffer = GreyBuffer();
    if (buffer == nullptr) {
        std::fprintf(stderr, "wayland-idle-inhibitor: no shared memory buffer\n");
        return 1;
    }
    zwp_idle_inhibit_manager_v1_create_inhibitor(inhibitManager, surface);
    wl_surface_attach(surface, buffer, 0, 0);
    wl_surface_damage(surface, 0, 0, kSize, kSize);
    wl_surface_commit(surface);
    wl_display_roundtrip(display);
    std::printf("inhibiting\n");
    std::fflush(stdout);
    while (wl_display_dispatch(display) >= 0) {
    }
    return 0;
}
