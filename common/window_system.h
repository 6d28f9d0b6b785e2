// Which window system the Linux programs use, decided once at start. The shell and the renderer
// must decide alike: the shell looks for the renderer's window where the renderer makes it (an
// X window, or the title registry on Wayland).
#pragma once

#include <functional>

namespace velmoria {

enum class WindowSystem { X11, Wayland };

struct WindowSystemChoice {
    WindowSystem system = WindowSystem::X11;
    // VELMORIA_BACKEND held something other than "x11" or "wayland"; it was ignored.
    bool unknownForced = false;
};

// VELMORIA_BACKEND ("x11" or "wayland", as `forced`; null or empty when unset) decides when set.
// Otherwise Wayland when WAYLAND_DISPLAY is set, the run is not hosted in an X daemon's window
// (XSCREENSAVER_WINDOW) and the compositor offers layer-shell; asked only then, since asking
// connects to the compositor.
WindowSystemChoice ChooseWindowSystem(const char* forced, bool waylandDisplaySet, bool hostedInX11,
                                      const std::function<bool()>& compositorHasLayerShell);

// The same from this process's environment (VELMORIA_BACKEND, WAYLAND_DISPLAY); hosted in an X
// daemon's window when `hostedInX11` says so or XSCREENSAVER_WINDOW is set.
WindowSystemChoice ChooseWindowSystemFromEnvironment(
    bool hostedInX11, const std::function<bool()>& compositorHasLayerShell);

}  // namespace velmoria
