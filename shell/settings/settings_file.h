// The shell's music settings and the INI file that keeps them: GetIniString, WriteIniString and
// ReadSettings, with the settings variables they fill.
#pragma once

#include <cstdint>
#include <string>

namespace velmoria {

// The section and keys of the file. The key bytes are code page 932 on both platforms; the
// Linux side hands its UTF-8 spellings to the converter.
extern const char* const kSettingsSection;
extern const char* const kKeyBgmKind;    // "BGM区分"
extern const char* const kKeyBgmRepeat;  // "BGMﾘﾋﾟｰﾄ"
extern const char* const kKeyBgmFile;    // "BGMﾌｧｲﾙ"

// 0 none, 1 audio CD, 2 music file.
extern int16_t BgmKind;
// The CD track to repeat, 0 for none.
extern int16_t BgmRepeat;
// The music file of kind 2, or empty.
extern std::string BgmFile;
// Where the settings dialog's file picker opens.
extern std::string BgmFolder;
// The result of the last platform call that reports one; nothing decides on it.
extern int32_t ApiResult;

// Reads a key with the platform's GetPrivateProfileStringA through a 256-byte buffer: at most
// 255 bytes of the value; a missing file, section or key, or no file name, gives the empty
// text.
std::string GetIniString(const std::string& section, const std::string& key,
                         const std::string& file);

// Writes a key with WritePrivateProfileStringA and leaves the call's result in ApiResult (0 when
// the file could not be written, which leaves it as it was, or when no file is named).
void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file);

// The file the settings are read from: the user's own once it exists; until then the file
// beside the program, which only gives starting values (nothing writes it, so no user can steer
// another's session through it); empty when there is neither.
std::string SettingsFileToRead();

// Fills BgmKind, BgmRepeat, BgmFile and BgmFolder from SettingsFileToRead().
void ReadSettings();
// The same with the file and the program folder given.
void ReadSettingsFrom(const std::string& settingsFile, const std::string& programFolder);

}  // namespace velmoria
