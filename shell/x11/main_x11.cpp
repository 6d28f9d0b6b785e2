// Velmoria.scr on Linux. The argument text is the arguments joined by single blanks, so that
// "/p 1234" reads as it does on Windows. Run by a screen-saver daemon as a hack, it runs its
// session with the renderer drawing in the daemon's window (see hosted_run.h). On Wayland (the
// renderer's choice, common/window_system.h) it runs on the Wayland backend instead.
#include <X11/Xlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "common/window_system.h"
#include "shell/hosted_run.h"
#include "shell/session.h"
#include "shell/shell_forms.h"
#include "shell/startup.h"
#include "shell/x11/shell_platform_x11.h"
#ifdef VELMORIA_WAYLAND
#include "common/wayland/layer_shell_probe_wayland.h"
#include "shell/wayland/shell_platform_wayland.h"
#endif

namespace {

// The root window's id, for "-root" without XSCREENSAVER_WINDOW; empty without a display.
std::string RootWindowId() {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return "";
    }
    const std::string id = std::to_string(DefaultRootWindow(display));
    XCloseDisplay(display);
    return id;
}

bool Set(const char* variable) {
    const char* value = std::getenv(variable);
    return value != nullptr && value[0] != '\0';
}

bool CompositorHasLayerShell() {
#ifdef VELMORIA_WAYLAND
    return velmoria::CompositorHasLayerShellWayland();
#else
    return false;
#endif
}

// Main, then the loop while a form is loaded.
int RunShell(velmoria::ShellPlatform& platform, const std::string& argumentText, bool hosted) {
    velmoria::ShellPlatform::Connect(&platform);
    velmoria::ShellForms forms(argumentText);
    if (velmoria::Main(argumentText, forms, hosted) == velmoria::AfterMain::RunWhileWindowsLoaded) {
        platform.RunWhileWindowsLoaded();
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::string argumentText;
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) {
        argumentText += (i > 1 ? " " : "");
        argumentText += argv[i];
        arguments.emplace_back(argv[i]);
    }
    const velmoria::HostedRun hosted =
        velmoria::HostedRunFrom(arguments, std::getenv("XSCREENSAVER_WINDOW"));
    if (hosted.hosted) {
        // The renderer inherits the window through the environment; the session runs as a
        // start without arguments does (no cursor of ours to hide: the daemon has its own).
        const std::string window = hosted.window.empty() ? RootWindowId() : hosted.window;
        setenv("XSCREENSAVER_WINDOW", window.c_str(), 1);
        velmoria::RendererHosted = true;
        argumentText.clear();
    }
    // As the renderer will choose, so that the shell looks for its window where it is made.
    const velmoria::WindowSystemChoice choice = velmoria::ChooseWindowSystem(
        std::getenv("VELMORIA_BACKEND"), Set("WAYLAND_DISPLAY"),
        hosted.hosted || Set("XSCREENSAVER_WINDOW"), CompositorHasLayerShell);
#ifdef VELMORIA_WAYLAND
    if (choice.system == velmoria::WindowSystem::Wayland) {
        // swayidle ends the saver with SIGTERM to the shell: the renderer goes with it.
        velmoria::RendererEndsWithSession = true;
        velmoria::ShellPlatformWayland platform;
        return RunShell(platform, argumentText, hosted.hosted);
    }
#endif
    velmoria::ShellPlatformX11 platform;
    return RunShell(platform, argumentText, hosted.hosted);
}
