// The shell platform that the tools and tests connect: the program's own on each system.
#pragma once

#ifdef _WIN32
#include "shell/win32/shell_platform_win32.h"
namespace velmoria {
using NativeShellPlatform = ShellPlatformWin32;
}
#else
#include "shell/x11/shell_platform_x11.h"
namespace velmoria {
using NativeShellPlatform = ShellPlatformX11;
}
#endif
