// The shell's platform on Linux.
#include "shell/x11/shell_platform_x11.h"

// Before any X11 header: Xlib's Status macro would rename MciInterpreter::Status.
#include "shell/music/gst/bgm_platform_gst.h"

#include <errno.h>

#include <cstdio>

#include "common/posix/xdg.h"
#include "common/x11/x11_support.h"
#include "shell/posix/files_posix.h"
#include "shell/posix/profile_file_posix.h"
#include "shell/x11/hidden_windows_x11.h"
#include "shell/x11/window_search_x11.h"

namespace velmoria {

namespace {

void ReportXError(const char* line) {
    ShellPlatform::Current().WriteDiagnostic(line);
}

}  // namespace

ShellPlatformX11::ShellPlatformX11() : hiddenWindows_(std::make_unique<HiddenWindowsX11>()) {}

ShellPlatformX11::~ShellPlatformX11() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

Display* ShellPlatformX11::ShellDisplay() {
    if (!displayTried_) {
        displayTried_ = true;
        display_ = XOpenDisplay(nullptr);
        if (display_ == nullptr) {
            WriteDiagnostic("X11: cannot open the display");
        } else {
            InstallXErrorHandlerX11(ReportXError);
        }
    }
    return display_;
}

bool ShellPlatformX11::TopLevelWindowExists(const char* title) {
    return FindTopLevelWindowX11(ShellDisplay(), title) != None;
}

bool ShellPlatformX11::CreateHiddenWindow(const char* title) {
    return hiddenWindows_->Create(ShellDisplay(), title);
}

void ShellPlatformX11::RunWhileWindowsLoaded() {
    hiddenWindows_->RunWhileLoaded(ShellDisplay());
}

bool ShellPlatformX11::CanOpenForReading(const std::string& path) {
    return CanOpenForReadingPosix(path);
}

bool ShellPlatformX11::CreateFolder(const std::string& path) {
    return CreateFolderPosix(path);
}

std::string ShellPlatformX11::ProgramFolder() {
    return ProgramFolderPosix();
}

std::string ShellPlatformX11::SettingsFilePath() {
    return XdgFolder("XDG_CONFIG_HOME", ".config") + "/velmoria/Velmoria.ini";
}

std::string ShellPlatformX11::ReadPrivateProfile(const std::string& section, const std::string& key,
                                                 const std::string& file) {
    return ReadPrivateProfilePosix(section, key, file, codec_);
}

bool ShellPlatformX11::WritePrivateProfile(const std::string& section, const std::string& key,
                                           const std::string& value, const std::string& file) {
    return WritePrivateProfilePosix(section, key, value, file, codec_);
}

BgmPlatform& ShellPlatformX11::Music() {
    // Never destroyed: a pipeline may still play while the program exits.
    static BgmPlatformGst* music = new BgmPlatformGst();
    return *music;
}

void ShellPlatformX11::WriteDiagnostic(const char* line) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line);
}

bool ShellPlatformX11::CloseWindowTitled(const char* title) {
    Display* display = ShellDisplay();
    const Window window = FindTopLevelWindowX11(display, title);
    if (window == None) {
        return false;
    }
    SendDeleteWindowX11(display, window);
    XSync(display, False);
    return true;
}

}  // namespace velmoria
