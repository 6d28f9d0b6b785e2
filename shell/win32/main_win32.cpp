// Velmoria.scr on Windows. The argument text is the command line after the program's path.
#include <windows.h>

#include <string>

#include "shell/forms/shell_forms.h"
#include "shell/startup.h"
#include "shell/win32/shell_platform_win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const std::string argumentText = commandLine != nullptr ? commandLine : "";
    velmoria::ShellPlatformWin32 platform;
    velmoria::ShellPlatform::Connect(&platform);
    velmoria::ShellForms forms(argumentText);
    if (velmoria::Main(argumentText, forms) == velmoria::AfterMain::RunWhileWindowsLoaded) {
        platform.RunWhileWindowsLoaded();
    }
    return 0;
}
