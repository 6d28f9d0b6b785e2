// Whether the Wayland compositor of WAYLAND_DISPLAY offers layer-shell, which the renderer's
// surfaces need (sway and other wlroots compositors do; GNOME does not). A build without Wayland
// links layer_shell_probe_none.cpp instead, where no compositor offers it.
#pragma once

struct wl_display;

namespace velmoria {

// Connects and reads the compositor's globals: the connection, the caller's from then on, when
// zwlr_layer_shell_v1 is among them; null, with nothing left open, otherwise or without a
// compositor.
wl_display* ConnectWithLayerShellWayland();

// The same question, the connection closed again: true when the compositor offers layer-shell.
bool CompositorHasLayerShellWayland();

}  // namespace velmoria
