// Velmoria.scr on Windows. The argument text is the command line after the program's path.
#include <windows.h>

#include "../interim_activities.h"
#include "../shell_windows.h"
#include "../startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    velmoria::InterimActivities activities;
    if (velmoria::Main(commandLine != nullptr ? commandLine : "", velmoria::PlatformStartup(),
                       activities) == velmoria::AfterMain::RunWhileWindowsLoaded) {
        velmoria::RunWhileWindowsLoaded();
    }
    return 0;
}
