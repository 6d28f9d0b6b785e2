// Velmoria.scr on Linux. The argument text is the arguments joined by single blanks, so that
// "/p 1234" reads as it does on Windows. Run by a screen-saver daemon as a hack, it runs its
// session with the renderer drawing in the daemon's window (see hosted_run.h).
#include <X11/Xlib.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "shell/hosted_run.h"
#include "shell/session.h"
#include "shell/shell_forms.h"
#include "shell/startup.h"
#include "shell/x11/shell_platform_x11.h"

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
    velmoria::ShellPlatformX11 platform;
    velmoria::ShellPlatform::Connect(&platform);
    velmoria::ShellForms forms(argumentText);
    if (velmoria::Main(argumentText, forms, hosted.hosted) ==
        velmoria::AfterMain::RunWhileWindowsLoaded) {
        platform.RunWhileWindowsLoaded();
    }
    return 0;
}
