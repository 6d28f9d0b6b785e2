// Velmoria.dll on Windows. Only the show command is used.
#include <windows.h>

#include "renderer/renderer_program.h"
#include "renderer/win32/renderer_platform_win32.h"
#include "renderer/win32/renderer_window_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    velmoria::RendererPlatformWin32 platform;
    velmoria::RendererPlatform::Connect(&platform);
    velmoria::RendererWindowWin32 window;
    return velmoria::RunRenderer(window, showCommand);
}
