// Velmoria.dll on Linux. Its command line is ignored.
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <cstdlib>

#include "renderer/renderer_program.h"
#include "renderer/x11/renderer_platform_x11.h"
#include "renderer/x11/renderer_window_x11.h"

int main() {
    // Ends with the shell that started it, even one killed outright (SIGKILL, the out-of-memory
    // killer): a renderer must never draw on without its shell. A shell already gone before
    // this line is seen as a parent other than the one that said it started us.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (const char* shell = std::getenv("VELMORIA_SHELL_PID");
        shell != nullptr && std::atol(shell) != static_cast<long>(getppid())) {
        return 0;
    }
    velmoria::RendererWindowX11 window;
    velmoria::RendererPlatformX11 platform(window);
    velmoria::RendererPlatform::Connect(&platform);
    return velmoria::RunRenderer(window, 0);
}
