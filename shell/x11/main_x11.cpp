// Velmoria.scr on Linux. The argument text is the arguments joined by single blanks, so that
// "/p 1234" reads as it does on Windows.
#include <string>

#include "shell/shell_forms.h"
#include "shell/startup.h"
#include "shell/x11/shell_platform_x11.h"

int main(int argc, char** argv) {
    std::string argumentText;
    for (int i = 1; i < argc; ++i) {
        argumentText += (i > 1 ? " " : "");
        argumentText += argv[i];
    }
    velmoria::ShellPlatformX11 platform;
    velmoria::ShellPlatform::Connect(&platform);
    velmoria::ShellForms forms(argumentText);
    if (velmoria::Main(argumentText, forms) == velmoria::AfterMain::RunWhileWindowsLoaded) {
        platform.RunWhileWindowsLoaded();
    }
    return 0;
}
