// Velmoria.scr on Linux. The argument text is the arguments joined by single blanks, so that
// "/p 1234" reads as it does on Windows.
#include <string>

#include "../interim_activities.h"
#include "../shell_windows.h"
#include "../startup.h"

int main(int argc, char** argv) {
    std::string argumentText;
    for (int i = 1; i < argc; ++i) {
        argumentText += (i > 1 ? " " : "");
        argumentText += argv[i];
    }
    velmoria::InterimActivities activities;
    if (velmoria::Main(argumentText, velmoria::PlatformStartup(), activities) ==
        velmoria::AfterMain::RunWhileWindowsLoaded) {
        velmoria::RunWhileWindowsLoaded();
    }
    return 0;
}
