// What Main asks of Windows: FindWindowA, CreateDirectoryA, ShowCursor, the fixed work folder.
#include "startup_win32.h"

#include <windows.h>

#include "../settings_file.h"

namespace velmoria {

bool StartupWin32::TopLevelWindowExists(const char* title) {
    return FindWindowA(nullptr, title) != nullptr;
}

bool StartupWin32::CreateFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

int32_t StartupWin32::ShowCursor(bool show) {
    return ::ShowCursor(show ? TRUE : FALSE);
}

std::string StartupWin32::WorkFolder() {
    return "C:\\q_sarn";
}

std::string StartupWin32::SettingsFilePath() {
    return velmoria::SettingsFilePath();
}

std::string StartupWin32::ProgramFolder() {
    return velmoria::ProgramFolder();
}

StartupPlatform& PlatformStartup() {
    static StartupWin32 platform;
    return platform;
}

}  // namespace velmoria
