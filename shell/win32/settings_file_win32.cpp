// The settings file on Windows: the system's own profile functions, the file beside the program.
#include <windows.h>

#include <cstring>

#include "../helpers.h"
#include "../settings_file.h"

namespace velmoria {

std::string GetIniString(const std::string& section, const std::string& key,
                         const std::string& file) {
    char buffer[256];
    std::memset(buffer, 0, sizeof(buffer));
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof(buffer),
                             file.c_str());
    // The text up to the first NUL: a value cut inside a double-byte character ends earlier.
    return std::string(buffer, strnlen(buffer, sizeof(buffer)));
}

void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
    ApiResult =
        WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}

std::string ProgramFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(std::string(path, length));
}

std::string SettingsFilePath() {
    return ProgramFolder() + "\\Velmoria.ini";
}

}  // namespace velmoria
