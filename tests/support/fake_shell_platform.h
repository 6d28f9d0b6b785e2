// A shell platform for tests: window look-ups, folders, the cursor and the hidden windows are
// recorded instead of done; files and the settings file go to the real platform; music goes to
// whatever entry points the test puts in.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "shell/platform.h"
#include "shell/startup.h"
#include "tools/native_shell_platform.h"

namespace velmoria::test {

class FakeShellPlatform final : public ShellPlatform {
  public:
    bool TopLevelWindowExists(const char* title) override { return windows.count(title) > 0; }
    bool CreateHiddenWindow(const char* title) override {
        hiddenWindows.push_back(title);
        return true;
    }
    void RunWhileWindowsLoaded() override {}
    int32_t ShowCursor(bool show) override {
        cursorCalls.push_back(show);
        return cursorCount.Show(show);
    }
    PathSyntax Paths() override { return native.Paths(); }
    bool CanOpenForReading(const std::string& path) override {
        return native.CanOpenForReading(path);
    }
    bool CreateFolder(const std::string& path) override {
        folders.push_back(path);
        return true;
    }
    std::string ProgramFolder() override { return programFolder; }
    std::string SettingsFilePath() override { return settingsFile; }
    std::string ReadPrivateProfile(const std::string& section, const std::string& key,
                                   const std::string& file) override {
        return native.ReadPrivateProfile(section, key, file);
    }
    bool WritePrivateProfile(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) override {
        return native.WritePrivateProfile(section, key, value, file);
    }
    void AnimateZoom(uintptr_t, int16_t, int16_t, bool) override {}
    BgmPlatform& Music() override { return music != nullptr ? *music : native.Music(); }
    void WriteDiagnostic(const char*) override {}

    NativeShellPlatform native;
    std::set<std::string> windows;
    std::vector<std::string> hiddenWindows;
    std::vector<std::string> folders;
    std::vector<bool> cursorCalls;
    CursorDisplayCount cursorCount;
    std::string programFolder = "program";
    std::string settingsFile;
    BgmPlatform* music = nullptr;
};

// Connects a platform for the life of a test and puts the previous one back.
class ConnectedShellPlatform {
  public:
    explicit ConnectedShellPlatform(ShellPlatform& platform)
        : previous_(&ShellPlatform::Current()) {
        ShellPlatform::Connect(&platform);
    }
    ~ConnectedShellPlatform() { ShellPlatform::Connect(previous_); }
    ConnectedShellPlatform(const ConnectedShellPlatform&) = delete;
    ConnectedShellPlatform& operator=(const ConnectedShellPlatform&) = delete;

  private:
    ShellPlatform* previous_;
};

}  // namespace velmoria::test
