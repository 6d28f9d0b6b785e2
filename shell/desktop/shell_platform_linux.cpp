// The Linux shell's services that do not depend on the window system.
#include "shell/desktop/shell_platform_linux.h"

// Before any X11 header a backend may add: Xlib's Status macro would rename MciInterpreter::Status.
#include "shell/music/gst/bgm_platform_gst.h"

#include <errno.h>

#include <cstdio>
#include <string_view>

#include "common/posix/runtime_folder_posix.h"
#include "common/posix/xdg.h"
#include "shell/hosted_run.h"
#include "shell/posix/files_posix.h"
#include "shell/posix/music_lock_posix.h"
#include "shell/posix/profile_file_posix.h"
#include "shell/settings_dialog/gtk/settings_dialog_gtk.h"

namespace velmoria {

std::unique_ptr<StartedProgram> ShellPlatformLinux::StartProgram(const std::string& path) {
    return StartProgramPosix(path);
}

bool ShellPlatformLinux::ReplaceFileContents(const std::string& path,
                                             const std::vector<uint8_t>& bytes) {
    // Only the work folder's sprite is written this way.
    return ReplacePrivateFilePosix(
        path, std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

bool ShellPlatformLinux::CanOpenForReading(const std::string& path) {
    return CanOpenForReadingPosix(path);
}

bool ShellPlatformLinux::CreateFolder(const std::string& path) {
    return CreateFolderPosix(path);
}

std::string ShellPlatformLinux::ProgramFolder() {
    return ProgramFolderPosix();
}

std::string ShellPlatformLinux::UserSettingsFilePath() {
    return XdgFolder("XDG_CONFIG_HOME", ".config") + "/velmoria/Velmoria.ini";
}

std::string ShellPlatformLinux::ProgramSettingsFilePath() {
    // Linux has always kept one file per user; no file beside the program is read.
    return {};
}

std::string ShellPlatformLinux::ReadPrivateProfile(const std::string& section,
                                                   const std::string& key,
                                                   const std::string& file) {
    return ReadPrivateProfilePosix(section, key, file, codec_);
}

bool ShellPlatformLinux::WritePrivateProfile(const std::string& section, const std::string& key,
                                             const std::string& value, const std::string& file) {
    return WritePrivateProfilePosix(section, key, value, file, codec_);
}

BgmPlatform& ShellPlatformLinux::Music() {
    // Never destroyed: a pipeline may still play while the program exits.
    static BgmPlatformGst* music = new BgmPlatformGst();
    return *music;
}

bool ShellPlatformLinux::TakeMusicLockFor(const char* display) {
    std::string fault;
    const bool plays = TakeMusicLockPosix(RuntimeFolderPosix(), MusicLockFileName(display), fault);
    if (!fault.empty()) {
        WriteDiagnostic(fault.c_str());
    }
    return plays;
}

void ShellPlatformLinux::RefuseStart(const std::string& why) {
    WriteDiagnostic(why.c_str());
    if (startFault_.empty()) {
        startFault_ = why;
    }
}

void ShellPlatformLinux::WriteDiagnostic(const char* line) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line);
}

void ShellPlatformLinux::RunSettingsDialog(const std::string& settingsFile) {
    RunSettingsDialogGtk(settingsFile);
}

}  // namespace velmoria
