// The Linux programs' choice of window system.
#include "common/window_system.h"

#include <cstdlib>
#include <cstring>

namespace velmoria {

WindowSystemChoice ChooseWindowSystem(const char* forced, bool waylandDisplaySet, bool hostedInX11,
                                      const std::function<bool()>& compositorHasLayerShell) {
    WindowSystemChoice choice;
    if (forced != nullptr && forced[0] != '\0') {
        if (std::strcmp(forced, "x11") == 0) {
            return choice;
        }
        if (std::strcmp(forced, "wayland") == 0) {
            choice.system = WindowSystem::Wayland;
            return choice;
        }
        choice.unknownForced = true;
    }
    if (waylandDisplaySet && !hostedInX11 && compositorHasLayerShell()) {
        choice.system = WindowSystem::Wayland;
    }
    return choice;
}

namespace {

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

}  // namespace

WindowSystemChoice ChooseWindowSystemFromEnvironment(
    bool hostedInX11, const std::function<bool()>& compositorHasLayerShell) {
    return ChooseWindowSystem(std::getenv("VELMORIA_BACKEND"), Set("WAYLAND_DISPLAY"),
                              hostedInX11 || Set("XSCREENSAVER_WINDOW"), compositorHasLayerShell);
}

}  // namespace velmoria
