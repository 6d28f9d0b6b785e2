// The renderer platform that the tools and tests connect: Windows' own, or on Linux the POSIX
// one, which needs no display.
#pragma once

#ifdef _WIN32
#include "renderer/win32/renderer_platform_win32.h"
namespace velmoria {
using NativeRendererPlatform = RendererPlatformWin32;
}
#else
#include "renderer/posix/renderer_platform_posix.h"
namespace velmoria {
using NativeRendererPlatform = RendererPlatformPosix;
}
#endif
