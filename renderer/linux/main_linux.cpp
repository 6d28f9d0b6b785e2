// Velmoria.dll on Linux: draws on Wayland or on X11, chosen once at start (common/window_system.h).
// Its command line is ignored.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>

#include "common/wayland/layer_shell_probe_wayland.h"
#include "common/window_system.h"
#include "renderer/diagnostics.h"
#include "renderer/renderer_program.h"
#include "renderer/x11/renderer_platform_x11.h"
#include "renderer/x11/renderer_window_x11.h"
#ifdef VELMORIA_WAYLAND
#include "renderer/wayland/renderer_window_wayland.h"
#endif

int main() {
    // Ends with the shell that started it, even one killed outright (SIGKILL, the out-of-memory
    // killer): a renderer must never draw on without its shell. A shell already gone before
    // this line is seen as a parent other than the one that said it started us.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (const char* shell = std::getenv("VELMORIA_SHELL_PID");
        shell != nullptr && std::atol(shell) != static_cast<long>(getppid())) {
        return 0;
    }
    // The probe's connection, when it made one, is the one the Wayland window draws through.
    wl_display* probed = nullptr;
    const velmoria::WindowSystemChoice choice =
        velmoria::ChooseWindowSystemFromEnvironment(false, [&probed] {
            probed = velmoria::ConnectWithLayerShellWayland();
            return probed != nullptr;
        });
#ifdef VELMORIA_WAYLAND
    if (choice.system == velmoria::WindowSystem::Wayland) {
        // No error box of its own: the loader's messages go to standard error.
        velmoria::RendererPlatformPosix platform;
        velmoria::RendererPlatform::Connect(&platform);
        if (choice.unknownForced) {
            velmoria::ReportRendererFailure("VELMORIA_BACKEND", "neither x11 nor wayland: ignored");
        }
        velmoria::RendererWindowWayland window(probed);
        return velmoria::RunRenderer(window, 0);
    }
#endif
    velmoria::RendererWindowX11 window;
    velmoria::RendererPlatformX11 platform(window);
    velmoria::RendererPlatform::Connect(&platform);
    if (choice.unknownForced) {
        velmoria::ReportRendererFailure("VELMORIA_BACKEND", "neither x11 nor wayland: ignored");
    } else if (choice.system == velmoria::WindowSystem::Wayland) {
        velmoria::ReportRendererFailure("Wayland", "not in this build: drawing on X11");
    }
    return velmoria::RunRenderer(window, 0);
}
