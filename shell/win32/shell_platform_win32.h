// The shell's platform on Windows: user32 for windows, forms, timers and the cursor, kernel32
// for programs, files and the profile functions, winmm for music.
#pragma once

#include <string>

#include "shell/platform.h"

namespace velmoria {

class ShellPlatformWin32 final : public ShellPlatform {
  public:
    bool TopLevelWindowExists(const char* title) override;
    bool IsWindow(WindowHandle window) override;
    std::optional<PixelRect> WindowRectangle(WindowHandle window) override;
    WindowHandle CreateForm(const char* title, uint32_t background, FormEvents* events) override;
    void ShowForm(WindowHandle form) override;
    void SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) override;
    void EndProgram() override;
    void RunWhileWindowsLoaded() override;
    double TwipsPerPixelX() override;
    double TwipsPerPixelY() override;
    int32_t AddChildStyle(WindowHandle form) override;
    int32_t SetParentWindow(WindowHandle form, WindowHandle parent) override;
    void MoveForm(WindowHandle form, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void SetFormPicture(WindowHandle form, int32_t x, int32_t y, PixelImage picture) override;
    std::unique_ptr<StartedProgram> StartProgram(const std::string& path) override;
    bool RendererEndsWithSession() override { return false; }
    bool ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes) override;
    int32_t ShowCursor(bool show) override;
    PathSyntax Paths() override;
    bool CanOpenForReading(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::string ProgramFolder() override;
    std::string UserSettingsFilePath() override;
    std::string ProgramSettingsFilePath() override;
    std::string ReadPrivateProfile(const std::string& section, const std::string& key,
                                   const std::string& file) override;
    bool WritePrivateProfile(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) override;
    void AnimateZoom(uintptr_t window, int16_t x, int16_t y, bool opening) override;
    void RunSettingsDialog(const std::string& settingsFile) override;
    BgmPlatform& Music() override;
    bool TakeMusicLock() override;
    void WriteDiagnostic(const char* line) override;

    // For the end-to-end tests' window tool: posts WM_CLOSE to the top-level window of that
    // title, of any program. False when there is none.
    bool CloseWindowTitled(const char* title);
    // The same for one window.
    bool CloseWindow(WindowHandle window);
};

// The user's settings file in the roaming application-data folder `appData`, as the narrow
// profile functions can open it: the folder's own spelling, else its short name; empty when the
// code page can spell neither (short names switched off on that volume).
std::string UserSettingsPathWin32(const std::wstring& appData);

}  // namespace velmoria
