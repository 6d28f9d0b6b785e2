// Everything a shell backend provides, in one place. The portable core (Main and the mode
// dispatch, the settings file and its rules, the helpers, the music procedures) reaches the
// operating system only through this class. Backends:
//   win32/   Windows: ShellPlatformWin32 (user32, kernel32's profile functions), with the
//            music of shell/music/win32/ (winmm)
//   x11/     Linux: ShellPlatformX11, over the POSIX pieces of posix/ (files, folders, the INI
//            file through profile_file.h and iconv) and the music of shell/music/gst/
// A new backend implements this class; the program's entry connects it before Main runs.
#pragma once

#include <cstdint>
#include <string>

#include "shell/helpers.h"
#include "shell/music/bgm_platform.h"

namespace velmoria {

class ShellPlatform {
  public:
    virtual ~ShellPlatform() = default;

    // The platform the program runs on; connected once by the program's entry (or a test).
    static ShellPlatform& Current();
    static void Connect(ShellPlatform* platform);

    // ---- Windows of any program ----

    // A top-level window of exactly that title exists, of any class and any program, hidden ones
    // included (FindWindowA; on X11 the window manager's clients and the root's children).
    virtual bool TopLevelWindowExists(const char* title) = 0;

    // ---- The program's own windows and its loop ----

    // A top-level window with that title that is never shown; the loop runs while one is left.
    // False when it could not be made.
    virtual bool CreateHiddenWindow(const char* title) = 0;
    // Dispatches events until no window of the program is left; at once when there is none.
    virtual void RunWhileWindowsLoaded() = 0;

    // ---- The mouse cursor ----

    // ShowCursor: raises or lowers the display count and returns the new count (on Linux the
    // count is the process's own: nothing there draws the shell's cursor).
    virtual int32_t ShowCursor(bool show) = 0;

    // ---- Files and folders ----

    // How paths are written: separators, and the bytes that start a two-byte character.
    virtual PathSyntax Paths() = 0;
    // Opens an existing file (never a folder) for reading and closes it again.
    virtual bool CanOpenForReading(const std::string& path) = 0;
    // False when the folder exists already or cannot be made.
    virtual bool CreateFolder(const std::string& path) = 0;
    // The program's own folder.
    virtual std::string ProgramFolder() = 0;
    // The settings file: beside the program on Windows, $XDG_CONFIG_HOME/velmoria/Velmoria.ini
    // on Linux.
    virtual std::string SettingsFilePath() = 0;

    // ---- The settings file (profile functions) ----

    // GetPrivateProfileStringA with an empty default into a 256-byte buffer: at most 255 bytes
    // of whole characters; empty for a missing file, section or key.
    virtual std::string ReadPrivateProfile(const std::string& section, const std::string& key,
                                           const std::string& file) = 0;
    // WritePrivateProfileStringA: true when the file holds the value afterwards; a failed
    // write leaves the file as it was.
    virtual bool WritePrivateProfile(const std::string& section, const std::string& key,
                                     const std::string& value, const std::string& file) = 0;

    // ---- Windows of the program on the screen ----

    // DrawAnimatedRects with IDANI_CAPTION between the point and the window's rectangle
    // (towards the window when opening); nothing on Linux.
    virtual void AnimateZoom(uintptr_t window, int16_t x, int16_t y, bool opening) = 0;

    // ---- Music ----

    // The entry points of the music module (shell/music/bgm_platform.h): winmm on Windows, our
    // GStreamer layer on Linux.
    virtual BgmPlatform& Music() = 0;

    // ---- Diagnostics ----

    // One line for the developer, never shown to the user: OutputDebugStringA on Windows,
    // standard error on Linux.
    virtual void WriteDiagnostic(const char* line) = 0;
};

}  // namespace velmoria
