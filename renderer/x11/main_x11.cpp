// Velmoria.dll on Linux. Its command line is ignored.
#include "renderer/renderer_program.h"
#include "renderer/x11/renderer_platform_x11.h"
#include "renderer/x11/renderer_window_x11.h"

int main() {
    velmoria::RendererWindowX11 window;
    velmoria::RendererPlatformX11 platform(window);
    velmoria::RendererPlatform::Connect(&platform);
    return velmoria::RunRenderer(window, 0);
}
