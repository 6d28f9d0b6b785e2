// Velmoria.scr on Windows. The argument text is the command line after the program's path.
#include <windows.h>

#include "shell/interim_activities.h"
#include "shell/startup.h"
#include "shell/win32/shell_platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    velmoria::ShellPlatformWin32 platform;
    velmoria::ShellPlatform::Connect(&platform);
    velmoria::InterimActivities activities;
    if (velmoria::Main(commandLine != nullptr ? commandLine : "", activities) ==
        velmoria::AfterMain::RunWhileWindowsLoaded) {
        platform.RunWhileWindowsLoaded();
    }
    return 0;
}
