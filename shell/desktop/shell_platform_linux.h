// What both Linux shell backends (X11 and Wayland) share: POSIX files, folders and programs, the
// settings file through iconv, GStreamer music, the GTK settings dialog and standard error. The
// backends add the windows, the forms and their loop.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "shell/platform.h"
#include "shell/posix/text_codec_iconv.h"
#include "shell/startup.h"

namespace velmoria {

class ShellPlatformLinux : public ShellPlatform {
  public:
    std::unique_ptr<StartedProgram> StartProgram(const std::string& path) override;
    bool ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes) override;
    int32_t ShowCursor(bool show) override { return cursorCount_.Show(show); }
    PathSyntax Paths() override { return {PathStyle::Posix, nullptr}; }
    bool CanOpenForReading(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    std::string ProgramFolder() override;
    std::string UserSettingsFilePath() override;
    std::string ProgramSettingsFilePath() override;
    std::string ReadPrivateProfile(const std::string& section, const std::string& key,
                                   const std::string& file) override;
    bool WritePrivateProfile(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) override;
    void AnimateZoom(uintptr_t, int16_t, int16_t, bool) override {}
    void RunSettingsDialog(const std::string& settingsFile) override;
    BgmPlatform& Music() override;
    void WriteDiagnostic(const char* line) override;

    // Why the run could not start (a lock file it cannot trust); empty when nothing stopped it.
    const std::string& StartFault() const { return startFault_; }

  protected:
    // Says why the run cannot start; the program then ends with a failure.
    void RefuseStart(const std::string& why);
    // The music lock of the desktop session named `display` (an X display or a Wayland socket).
    bool TakeMusicLockFor(const char* display);

  private:
    CursorDisplayCount cursorCount_;
    TextCodecIconv codec_;
    std::string startFault_;
};

}  // namespace velmoria
