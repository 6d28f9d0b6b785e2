// Everything a shell backend provides, in one place. The portable core (Main and the mode
// dispatch, the settings file and its rules, the helpers, the session and preview forms, the
// music procedures) reaches the operating system only through this class. Backends:
//   win32/   Windows: ShellPlatformWin32 (user32, kernel32's profile functions), with the
//            music of shell/music/win32/ (winmm)
//   x11/     Linux: ShellPlatformX11, over ShellPlatformLinux (desktop/: the POSIX pieces of
//            posix/ for files, folders and the INI file through profile_file.h and iconv, the
//            music of shell/music/gst/, the GTK dialog)
//   wayland/ Linux on a layer-shell compositor: ShellPlatformWayland, over ShellPlatformLinux;
//            its title searches ask the title registry (common/posix/title_registry_posix.h)
// A new backend implements this class; the program's entry connects it before Main runs.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "shell/helpers.h"
#include "shell/music/bgm_platform.h"

namespace velmoria {

// A window of any program: an HWND on Windows, an X window id on Linux.
using WindowHandle = uintptr_t;

// A rectangle in screen pixels.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
};

// An RGB picture, top row first, rows without padding.
struct PixelImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> rgb;
};

// What a form of the shell hears from the platform; its calls arrive on the program's thread,
// from the loop, one at a time.
class FormEvents {
  public:
    virtual ~FormEvents() = default;
    // A timer of the form ticked.
    virtual void OnTimer(int timer) = 0;
    // The form is being closed from outside (its close box, a log-off or shutdown, a signal, a
    // lost display): the form's unload runs now, and the form is gone afterwards.
    virtual void OnQueryUnload() = 0;
};

// A program started by the shell, kept only to see whether it has ended.
class StartedProgram {
  public:
    virtual ~StartedProgram() = default;
    virtual int32_t ProcessId() = 0;
    virtual bool HasEnded() = 0;
    // Its exit code once it has ended by itself; nothing while it runs, when it was killed by a
    // signal, or where the platform does not tell.
    virtual std::optional<int> ExitCode() { return std::nullopt; }
    // Ends it (SIGTERM, and no process is left behind); a hosted session's end takes its
    // renderer with it.
    virtual void Terminate() {}
};

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

    // A window of any program exists.
    virtual bool IsWindow(WindowHandle window) = 0;
    // GetWindowRect: a window's outer rectangle in screen pixels; empty when it is no window.
    virtual std::optional<PixelRect> WindowRectangle(WindowHandle window) = 0;

    // ---- The program's own forms and its loop ----

    // Loads a form: a top-level window with that title and background colour (0xRRGGBB),
    // created hidden. `events` (may be null) hears its timers and its closing; without events a
    // close request just closes it. 0 when it could not be made. The loop runs while a form is
    // loaded.
    virtual WindowHandle CreateForm(const char* title, uint32_t background, FormEvents* events) = 0;
    // Shows a form without waiting (modeless).
    virtual void ShowForm(WindowHandle form) = 0;
    // Switches a form's timer on with that interval (ms), or off with 0. Ticks arrive as
    // OnTimer(timer) from the loop.
    virtual void SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) = 0;
    // Ends the program: every form goes, no further event is handled, the loop returns.
    virtual void EndProgram() = 0;
    // Dispatches events until no form of the program is left; at once when there is none.
    virtual void RunWhileWindowsLoaded() = 0;

    // ---- Forms inside another program's window (the preview) ----

    // The screen's twips per pixel, horizontally and vertically (15 at 96 dots per inch).
    virtual double TwipsPerPixelX() = 0;
    virtual double TwipsPerPixelY() = 0;
    // Adds WS_CHILD to a form's style, the other bits kept; the call's result (0 for failure).
    virtual int32_t AddChildStyle(WindowHandle form) = 0;
    // SetParent: makes `parent` the form's parent window; the call's result (0 for failure).
    virtual int32_t SetParentWindow(WindowHandle form, WindowHandle parent) = 0;
    // Places a form inside its parent, in pixels.
    virtual void MoveForm(WindowHandle form, int32_t x, int32_t y, int32_t width,
                          int32_t height) = 0;
    // The form's one picture (Img_Prev), drawn at (x, y) of the form at its own size, and again
    // whenever the form is exposed.
    virtual void SetFormPicture(WindowHandle form, int32_t x, int32_t y, PixelImage picture) = 0;

    // ---- Programs and files of the session ----

    // Starts a program: `path` alone as its command line, shown normally (show value 1), not
    // waited for; null when it could not be started.
    virtual std::unique_ptr<StartedProgram> StartProgram(const std::string& path) = 0;
    // The session's end takes a renderer still running along: true on Wayland
    // (wayland/shell_platform_wayland.h), where the saver is ended by a SIGTERM to the shell
    // and the renderer's surfaces would stay up; false elsewhere.
    virtual bool RendererEndsWithSession() = 0;
    // Writes a whole file of the work folder (the sprite) through a temporary file beside it
    // renamed into place, so that no reader ever sees half of it. On Linux only in a folder of
    // the user's own that no one else can write, replacing a link at the name rather than
    // writing through it, with mode 0644. False when it could not be written.
    virtual bool ReplaceFileContents(const std::string& path,
                                     const std::vector<uint8_t>& bytes) = 0;

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
    // The user's own settings file, the one "設定" writes: %APPDATA%\Velmoria\Velmoria.ini on
    // Windows, $XDG_CONFIG_HOME/velmoria/Velmoria.ini on Linux. Empty when the user can have
    // none (a profile folder the narrow functions cannot name).
    virtual std::string UserSettingsFilePath() = 0;
    // The file beside the program that gives the starting values while the user has no file of
    // their own (an administrator's defaults, or the file of earlier versions). Never written.
    // Empty where there is none (Linux).
    virtual std::string ProgramSettingsFilePath() = 0;

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

    // ---- The settings dialog ----

    // Shows the settings dialog (shell/settings_dialog/) modally: makes its window, connects
    // its handlers, and returns once the window has closed. "設定" writes to `settingsFile`.
    virtual void RunSettingsDialog(const std::string& settingsFile) = 0;

    // ---- Music ----

    // The entry points of the music module (shell/music/bgm_platform.h): winmm on Windows, our
    // GStreamer layer on Linux.
    virtual BgmPlatform& Music() = 0;
    // Takes the desktop session's music lock for the rest of the process's life; false while
    // another copy holds it. Linux: an flock on a file of $XDG_RUNTIME_DIR (else the cache
    // folder) named for the display (posix/music_lock_posix.cpp); Windows: a named mutex of
    // the log-on session.
    virtual bool TakeMusicLock() = 0;

    // ---- Diagnostics ----

    // One line for the developer, never shown to the user: OutputDebugStringA on Windows,
    // standard error on Linux.
    virtual void WriteDiagnostic(const char* line) = 0;
};

}  // namespace velmoria
