// The shell's platform on Linux: X11 for windows, POSIX for files and the settings file (with
// iconv), GStreamer for music.
#pragma once

#include <memory>

#include "shell/platform.h"
#include "shell/posix/text_codec_iconv.h"
#include "shell/startup.h"

// Xlib stays out of this header: its macros (Status, None, Bool) clash with names elsewhere.
struct _XDisplay;

namespace velmoria {

class HiddenWindowsX11;

class ShellPlatformX11 final : public ShellPlatform {
  public:
    ShellPlatformX11();
    ~ShellPlatformX11() override;

    bool TopLevelWindowExists(const char* title) override;
    bool CreateHiddenWindow(const char* title) override;
    void RunWhileWindowsLoaded() override;
    int32_t ShowCursor(bool show) override { return cursorCount_.Show(show); }
    PathSyntax Paths() override { return {PathStyle::Posix, nullptr}; }
    bool CanOpenForReading(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::string ProgramFolder() override;
    std::string SettingsFilePath() override;
    std::string ReadPrivateProfile(const std::string& section, const std::string& key,
                                   const std::string& file) override;
    bool WritePrivateProfile(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) override;
    void AnimateZoom(uintptr_t, int16_t, int16_t, bool) override {}
    BgmPlatform& Music() override;
    void WriteDiagnostic(const char* line) override;

    // For the end-to-end tests' window tool: asks the window of that title, of any program, to
    // close. False when there is none.
    bool CloseWindowTitled(const char* title);

  private:
    // The shell's one connection, opened on first use; null without an X server.
    _XDisplay* ShellDisplay();

    bool displayTried_ = false;
    _XDisplay* display_ = nullptr;
    std::unique_ptr<HiddenWindowsX11> hiddenWindows_;
    CursorDisplayCount cursorCount_;
    TextCodecIconv codec_;
};

}  // namespace velmoria
