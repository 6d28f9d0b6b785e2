// Whether the Wayland compositor of WAYLAND_DISPLAY offers layer-shell, which the renderer's
// surfaces need (sway and other wlroots compositors do; GNOME does not).
#pragma once

namespace velmoria {

// Connects, reads the compositor's globals and disconnects: true when zwlr_layer_shell_v1 is
// among them; false without a compositor.
bool CompositorHasLayerShellWayland();

}  // namespace velmoria
