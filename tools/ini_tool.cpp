// ini-tool: the shell's settings-file routines from the command line.
//   ini-tool get FILE SECTION KEY        prints the value as GetIniString returns it
//   ini-tool set FILE SECTION KEY VALUE  runs WriteIniString; exit code 1 when it failed
// Arguments and output are UTF-8 on Linux and the ANSI code page on Windows.
#include <cstdio>
#include <cstring>
#include <string>

#include "shell/settings/settings_file.h"
#include "tools/binary_stdout.h"
#include "tools/native_shell_platform.h"

int main(int argc, char** argv) {
    const bool get = argc == 5 && std::strcmp(argv[1], "get") == 0;
    const bool set = argc == 6 && std::strcmp(argv[1], "set") == 0;
    if (!get && !set) {
        const bool help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
        std::fprintf(help ? stdout : stderr,
                     "usage: ini-tool get FILE SECTION KEY\n"
                     "       ini-tool set FILE SECTION KEY VALUE\n");
        return help ? 0 : 2;
    }
    UseBinaryStdout();
    velmoria::NativeShellPlatform platform;
    velmoria::ShellPlatform::Connect(&platform);
    if (get) {
        const std::string value = velmoria::GetIniString(argv[3], argv[4], argv[2]);
        std::printf("%s\n", value.c_str());
        return 0;
    }
    velmoria::WriteIniString(argv[3], argv[4], argv[5], argv[2]);
    return velmoria::ApiResult != 0 ? 0 : 1;
}
