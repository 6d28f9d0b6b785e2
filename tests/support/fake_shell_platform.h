// A shell platform for tests: windows, forms, timers, programs, the cursor and folders are
// recorded instead of done; files and the settings file go to the real platform; music goes to
// whatever entry points the test puts in.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "shell/platform.h"
#include "shell/startup.h"
#include "tools/native_shell_platform.h"

namespace velmoria::test {

// A started program whose end the test decides.
struct FakeProgramState {
    std::vector<std::string> started;  // every path started, in order
    bool startFails = false;
    bool ended = false;
    std::optional<int> exitCode;  // once ended
    int terminated = 0;           // Terminate calls
};

class FakeProgram final : public StartedProgram {
  public:
    explicit FakeProgram(FakeProgramState& state) : state_(state) {}
    int32_t ProcessId() override { return 4321; }
    bool HasEnded() override { return state_.ended; }
    std::optional<int> ExitCode() override { return state_.ended ? state_.exitCode : std::nullopt; }
    void Terminate() override { ++state_.terminated; }

  private:
    FakeProgramState& state_;
};

class FakeShellPlatform final : public ShellPlatform {
  public:
    struct Form {
        std::string title;
        uint32_t background = 0;
        FormEvents* events = nullptr;
        bool shown = false;
        bool childStyle = false;
        WindowHandle parent = 0;
        PixelRect placed;  // left, top, right, bottom in the parent
        int32_t pictureX = 0;
        int32_t pictureY = 0;
        PixelImage picture;
        std::map<int, uint32_t> timers;  // the timers switched on, with their intervals
    };

    bool TopLevelWindowExists(const char* title) override { return windows.count(title) > 0; }
    bool IsWindow(WindowHandle window) override { return hostRects.count(window) > 0; }
    std::optional<PixelRect> WindowRectangle(WindowHandle window) override {
        const auto found = hostRects.find(window);
        return found != hostRects.end() ? std::optional<PixelRect>(found->second) : std::nullopt;
    }
    WindowHandle CreateForm(const char* title, uint32_t background, FormEvents* events) override {
        const WindowHandle handle = 1000 + forms.size();
        Form& form = forms[handle];
        form.title = title;
        form.background = background;
        form.events = events;
        calls.push_back(std::string("CreateForm ") + title);
        return handle;
    }
    void ShowForm(WindowHandle form) override {
        forms.at(form).shown = true;
        calls.push_back("ShowForm");
    }
    void SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) override {
        if (intervalMs == 0) {
            forms.at(form).timers.erase(timer);
        } else {
            forms.at(form).timers[timer] = intervalMs;
        }
    }
    void EndProgram() override { ++ended; }
    void RunWhileWindowsLoaded() override {}
    double TwipsPerPixelX() override { return twipsX; }
    double TwipsPerPixelY() override { return twipsY; }
    int32_t AddChildStyle(WindowHandle form) override {
        forms.at(form).childStyle = true;
        calls.push_back("AddChildStyle");
        return 1;
    }
    int32_t SetParentWindow(WindowHandle form, WindowHandle parent) override {
        calls.push_back("SetParentWindow");
        if (hostGoesAtSetParent) {
            hostRects.erase(parent);
            return 0;
        }
        forms.at(form).parent = parent;
        return 1;
    }
    void MoveForm(WindowHandle form, int32_t x, int32_t y, int32_t width, int32_t height) override {
        forms.at(form).placed = PixelRect{x, y, x + width, y + height};
        calls.push_back("MoveForm");
    }
    void SetFormPicture(WindowHandle form, int32_t x, int32_t y, PixelImage picture) override {
        Form& f = forms.at(form);
        f.pictureX = x;
        f.pictureY = y;
        f.picture = std::move(picture);
        calls.push_back("SetFormPicture");
    }
    std::unique_ptr<StartedProgram> StartProgram(const std::string& path) override {
        programs.started.push_back(path);
        if (programs.startFails) {
            return nullptr;
        }
        return std::make_unique<FakeProgram>(programs);
    }
    bool RendererEndsWithSession() override { return rendererEndsWithSession; }
    bool ReplaceFileContents(const std::string& path, const std::vector<uint8_t>& bytes) override {
        files[path] = bytes;
        return true;
    }
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
    std::string UserSettingsFilePath() override { return settingsFile; }
    std::string ProgramSettingsFilePath() override { return programSettingsFile; }
    std::string ReadPrivateProfile(const std::string& section, const std::string& key,
                                   const std::string& file) override {
        return native.ReadPrivateProfile(section, key, file);
    }
    bool WritePrivateProfile(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) override {
        return native.WritePrivateProfile(section, key, value, file);
    }
    void AnimateZoom(uintptr_t, int16_t, int16_t, bool) override {}
    void RunSettingsDialog(const std::string& file) override {
        calls.push_back("RunSettingsDialog " + file);
    }
    BgmPlatform& Music() override { return music != nullptr ? *music : native.Music(); }
    bool TakeMusicLock() override {
        ++musicLockTakes;
        return !musicLockHeld;
    }
    void WriteDiagnostic(const char*) override {}

    // The only form of that title; null when there is none.
    Form* FormTitled(const std::string& title) {
        for (auto& [handle, form] : forms) {
            if (form.title == title) {
                return &form;
            }
        }
        return nullptr;
    }

    NativeShellPlatform native;
    std::set<std::string> windows;
    std::map<WindowHandle, PixelRect> hostRects;  // the windows of other programs
    std::map<WindowHandle, Form> forms;
    std::vector<std::string> calls;
    FakeProgramState programs;
    std::map<std::string, std::vector<uint8_t>> files;
    std::vector<std::string> folders;
    std::vector<bool> cursorCalls;
    CursorDisplayCount cursorCount;
    int ended = 0;
    bool hostGoesAtSetParent = false;  // the host is destroyed just then
    double twipsX = 15.0;
    double twipsY = 15.0;
    std::string programFolder = "program";
    std::string settingsFile;         // the user's own
    std::string programSettingsFile;  // beside the program: starting values
    BgmPlatform* music = nullptr;
    bool musicLockHeld = false;  // another copy holds the session's music lock
    int musicLockTakes = 0;
    bool rendererEndsWithSession = false;  // as on Wayland
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
