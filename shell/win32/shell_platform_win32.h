// The shell's platform on Windows: user32 for windows and the cursor, kernel32 for files and
// the profile functions, winmm for music.
#pragma once

#include "shell/platform.h"

namespace velmoria {

class ShellPlatformWin32 final : public ShellPlatform {
  public:
    bool TopLevelWindowExists(const char* title) override;
    bool CreateHiddenWindow(const char* title) override;
    void RunWhileWindowsLoaded() override;
    int32_t ShowCursor(bool show) override;
    PathSyntax Paths() override;
    bool CanOpenForReading(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::string ProgramFolder() override;
    std::string SettingsFilePath() override;
    std::string ReadPrivateProfile(const std::string& section, const std::string& key,
                                   const std::string& file) override;
    bool WritePrivateProfile(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) override;
    void AnimateZoom(uintptr_t window, int16_t x, int16_t y, bool opening) override;
    BgmPlatform& Music() override;
    void WriteDiagnostic(const char* line) override;

    // For the end-to-end tests' window tool: posts WM_CLOSE to the top-level window of that
    // title, of any program. False when there is none.
    bool CloseWindowTitled(const char* title);
};

}  // namespace velmoria
