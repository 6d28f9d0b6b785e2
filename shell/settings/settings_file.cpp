// ReadSettings: the three keys, their number rules and the music file's existence test.
#include "shell/settings/settings_file.h"

#include "shell/guarded_step.h"
#include "shell/helpers.h"
#include "shell/platform.h"
#include "shell/settings/number_text.h"

namespace velmoria {

#ifdef _WIN32
const char* const kKeyBgmKind = "BGM\x8B\xE6\x95\xAA";
const char* const kKeyBgmRepeat = "BGM\xD8\xCB\xDF\xB0\xC4";
const char* const kKeyBgmFile = "BGM\xCC\xA7\xB2\xD9";
#else
const char* const kKeyBgmKind = "BGM区分";
const char* const kKeyBgmRepeat = "BGMﾘﾋﾟｰﾄ";
const char* const kKeyBgmFile = "BGMﾌｧｲﾙ";
#endif
const char* const kSettingsSection = "Section";

int16_t BgmKind = 0;
int16_t BgmRepeat = 0;
std::string BgmFile;
std::string BgmFolder;
int32_t ApiResult = 0;

namespace {

// Empty text gives 0; text that is not a number, or out of range, leaves the variable alone.
void ReadInteger(const std::string& file, const char* key, int16_t& variable) {
    const std::string text = GetIniString(kSettingsSection, key, file);
    if (text.empty()) {
        variable = 0;
        return;
    }
    if (const auto value = ParseSettingInteger(text)) {
        variable = *value;
    }
}

}  // namespace

// No file name is no file: the Win32 profile functions would take a bare name for a file in
// the Windows folder.
std::string GetIniString(const std::string& section, const std::string& key,
                         const std::string& file) {
    if (file.empty()) {
        return {};
    }
    return ShellPlatform::Current().ReadPrivateProfile(section, key, file);
}

void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
    ApiResult =
        !file.empty() && ShellPlatform::Current().WritePrivateProfile(section, key, value, file)
            ? 1
            : 0;
}

void ReadSettingsFrom(const std::string& settingsFile, const std::string& programFolder) {
    Guarded([&] { ReadInteger(settingsFile, kKeyBgmKind, BgmKind); });
    Guarded([&] { ReadInteger(settingsFile, kKeyBgmRepeat, BgmRepeat); });
    Guarded([&] { BgmFolder = programFolder; });
    Guarded([&] {
        const std::string path = GetIniString(kSettingsSection, kKeyBgmFile, settingsFile);
        if (!path.empty() && FileExists(path)) {
            BgmFile = path;
            BgmFolder = FolderOf(path);
            return;
        }
        // A music file that is not there is forgotten, and with it the music-file kind.
        BgmFile.clear();
        if (BgmKind == 2) {
            BgmKind = 0;
        }
    });
}

std::string SettingsFileToRead() {
    ShellPlatform& platform = ShellPlatform::Current();
    const std::string user = platform.UserSettingsFilePath();
    if (!user.empty() && FileExists(user)) {
        return user;
    }
    const std::string program = platform.ProgramSettingsFilePath();
    return !program.empty() && FileExists(program) ? program : std::string();
}

void ReadSettings() {
    std::string file;
    Guarded([&] { file = SettingsFileToRead(); });
    ReadSettingsFrom(file, ShellPlatform::Current().ProgramFolder());
}

}  // namespace velmoria
