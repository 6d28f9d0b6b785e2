// Velmoria.scr on Linux. The argument text is the arguments joined by single blanks, so that
// "/p 1234" reads as it does on Windows. Run by a screen-saver daemon as a hack, it runs its
// session with the renderer drawing in the daemon's window (see hosted_run.h). On Wayland (the
// renderer's choice, common/window_system.h) it runs on the Wayland backend instead. A run that
// cannot do its job (no display, a host that is no window, a renderer that did not run) says why
// in one line on standard error and ends with 1, which a daemon logs.
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/posix/runtime_folder_posix.h"
#include "common/wayland/layer_shell_probe_wayland.h"
#include "common/window_system.h"
#include "common/x11/x11_support.h"
#include "shell/forms/session.h"
#include "shell/forms/shell_forms.h"
#include "shell/hosted_run.h"
#include "shell/startup.h"
#include "shell/x11/shell_platform_x11.h"
#ifdef VELMORIA_WAYLAND
#include "shell/wayland/shell_platform_wayland.h"
#endif

namespace {

int Failure(const std::string& why) {
    std::fprintf(stderr, "Velmoria.scr: %s\n", why.c_str());
    return 1;
}

std::string NoDisplay() {
    const char* name = XDisplayName(nullptr);
    return std::string("cannot open the display ") +
           (name != nullptr && name[0] != '\0' ? name : "(DISPLAY is not set)");
}

// What keeps a hosted run from starting: a host that is no window. Empty when none.
std::string HostFault(Display* display, const velmoria::HostedRun& hosted) {
    if (hosted.window.empty()) {
        return "";
    }
    velmoria::XErrorTrapX11 trap(display);
    XWindowAttributes attributes;
    const Window host = static_cast<Window>(std::stoul(hosted.window));
    if (!XGetWindowAttributes(display, host, &attributes) || trap.Caught()) {
        return "the host window " + hosted.given + " is no window";
    }
    return "";
}

// Main, then the loop while a form is loaded; 1 when the session could not do its job.
int RunShell(velmoria::ShellPlatformLinux& platform, const std::string& argumentText, bool hosted) {
    velmoria::ShellPlatform::Connect(&platform);
    velmoria::ShellForms forms(argumentText);
    if (velmoria::Main(argumentText, forms, hosted) == velmoria::AfterMain::RunWhileWindowsLoaded) {
        platform.RunWhileWindowsLoaded();
    }
    if (!platform.StartFault().empty()) {
        return 1;  // already said on standard error
    }
    if (velmoria::SessionFailed) {
        return Failure("the renderer " + velmoria::RendererPath + " did not run");
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
    if (hosted.badWindow) {
        return Failure("not a window id: " + hosted.given);
    }
    if (!hosted.hosted) {
        // Left over from a daemon's settings (a terminal opened there): not ours to draw in.
        unsetenv("XSCREENSAVER_WINDOW");
    }
    // A daemon's bare environment: the sound server and the compositor are found all the same.
    velmoria::AdoptUserRuntimeFolderPosix();
    // The renderer ends with the shell that started it, however the shell ends.
    setenv("VELMORIA_SHELL_PID", std::to_string(getpid()).c_str(), 1);

    // As the renderer will choose, so that the shell looks for its window where it is made.
    const velmoria::WindowSystemChoice choice = velmoria::ChooseWindowSystemFromEnvironment(
        hosted.hosted, velmoria::CompositorHasLayerShellWayland);
#ifdef VELMORIA_WAYLAND
    if (choice.system == velmoria::WindowSystem::Wayland) {
        velmoria::ShellPlatformWayland platform;
        return RunShell(platform, argumentText, hosted.hosted);
    }
#endif
    const std::string mode = velmoria::ModeLetter(argumentText);
    const bool needsDisplay =
        hosted.hosted || argumentText.empty() || mode == "S" || mode == "C" || mode == "P";
    // The connection the platform then keeps: one for the whole run.
    Display* display = nullptr;
    if (needsDisplay) {
        display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            return Failure(NoDisplay());
        }
        if (const std::string fault = HostFault(display, hosted); !fault.empty()) {
            XCloseDisplay(display);
            return Failure(fault);
        }
    }
    if (hosted.hosted) {
        // The renderer inherits the window through the environment; the session runs as a
        // start without arguments does (no cursor of ours to hide: the daemon has its own).
        const std::string window =
            hosted.window.empty() ? std::to_string(DefaultRootWindow(display)) : hosted.window;
        setenv("XSCREENSAVER_WINDOW", window.c_str(), 1);
        velmoria::RendererHosted = true;
        if (!hosted.frameLimit.empty()) {
            setenv("VELMORIA_FRAME_LIMIT", hosted.frameLimit.c_str(), 1);
        }
        argumentText.clear();
    }
    velmoria::ShellPlatformX11 platform(display);
    return RunShell(platform, argumentText, hosted.hosted);
}
