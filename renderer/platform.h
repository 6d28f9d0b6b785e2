// Everything a renderer backend provides, in one place. The portable core (particles, frame,
// scene, texture, bitmap loader, settings record, exit rules, frame loop) reaches the operating
// system only through these two classes. Backends:
//   win32/      Windows: RendererPlatformWin32, RendererWindowWin32
//   posix/      Linux without a window: RendererPlatformPosix (tools, headless recorder, tests)
//   x11/        Linux with X11 and GLX: RendererPlatformX11 (over the POSIX one), RendererWindowX11
//   wayland/    Linux on a layer-shell compositor with EGL: RendererWindowWayland, with the POSIX
//               platform (no error box of its own); linux/main_linux.cpp picks it or X11 at
//               start (common/window_system.h)
//   headless/   the EGL context of the recorder, the scene tests and the benchmark; it uses the
//               POSIX platform and has no window
// A new backend implements both classes; the program's entry connects the platform first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "common/dib_converter.h"
#include "renderer/registry.h"
#include "renderer/saver_settings.h"

namespace velmoria {

// A whole file mapped read-only; unmapped when destroyed.
class ReadOnlyFile {
  public:
    virtual ~ReadOnlyFile() = default;
    virtual const uint8_t* Data() const = 0;
    virtual size_t Size() const = 0;
};

// What the core asks of the operating system.
class RendererPlatform {
  public:
    virtual ~RendererPlatform() = default;

    // The platform the program runs on; connected once by the program's entry (or a test).
    static RendererPlatform& Current();
    static void Connect(RendererPlatform* platform);

    // Opens an existing file for reading (shared with other readers) and maps all of it; null
    // when the file cannot be opened or mapped (missing, empty, a folder).
    // win32/renderer_platform_win32.cpp, posix/renderer_platform_posix.cpp
    virtual std::unique_ptr<ReadOnlyFile> MapFile(const char* path) = 0;

    // A converter of checked DIB descriptions to 24-bit rows: GDI (win32/gdi_dib_converter.cpp)
    // or our own decoder (common/dib_software_converter.cpp).
    virtual std::unique_ptr<Bgr24Converter> NewBgr24Converter() = 0;

    // The current user's registry: the real one (win32/registry_win32.cpp), or the .reg file
    // at its XDG place (posix/renderer_platform_posix.cpp over registry_file.cpp).
    virtual Registry& CurrentUserRegistry() = 0;

    // The modal box captioned "Error" with an OK button; returns once the user has dismissed
    // it. win32/renderer_platform_win32.cpp (MessageBoxA), x11/error_box_x11.cpp, and standard
    // error where there is no display (posix/).
    virtual void ShowErrorBox(const char* text) = 0;

    // Hides the mouse pointer over the renderer's window for the rest of the run (nothing
    // without a window).
    virtual void HideCursor() = 0;

    // One line for the developer, never shown to the user: OutputDebugStringA on Windows,
    // standard error on Linux. See renderer/diagnostics.h.
    virtual void WriteDiagnostic(const char* line) = 0;

    // The exit code of a run whose window could not be made: 0 on Windows, where the program
    // always ends with 0; non-zero on Linux, where a screen-saver daemon logs it.
    virtual int SetupFailureExitCode() { return 0; }

    // A frame limit that overrides the registry's "FrameLimit" for this run, or -1: on Linux
    // VELMORIA_FRAME_LIMIT, which the shell sets from a screen-saver daemon's option
    // (posix/renderer_platform_posix.cpp); none on Windows.
    virtual int64_t FrameLimitOverride() { return -1; }
};

// What the window of the renderer program supplies to its set-up and frame loop
// (renderer/renderer_program.cpp). win32/renderer_window_win32.cpp, x11/renderer_window_x11.cpp,
// wayland/renderer_window_wayland.cpp.
class RendererWindow {
  public:
    virtual ~RendererWindow() = default;

    // Creates the full-screen window on the primary screen, visible from creation (recording
    // its handle and the pointer position in `settings`), and its OpenGL context, made current.
    // False when a step fails; the program then ends quietly.
    virtual bool Create(SaverSettings& settings, int32_t& width, int32_t& height) = 0;

    // Shows and activates the window once the scene has been set up.
    virtual void Show(int showCommand) = 0;

    enum class Message { Handled, QueueEmpty, Quit };
    // Takes one pending message, if any, and handles it; Quit once the window is gone.
    virtual Message HandleNextMessage() = 0;

    // Presents the frame just drawn.
    virtual void SwapBuffers() = 0;

    // Called with the queue empty and no frame due: returns once a message may be there, or
    // after `timeoutUs` at the latest, without using the processor meanwhile.
    virtual void WaitForMessage(int64_t timeoutUs) = 0;

    // Whether a frame drawn now could be seen: false while every display the window is on is
    // off (X11 DPMS, Windows' console display state) or the window is wholly covered (X11).
    // A change of either wakes WaitForMessage or is seen at its next timeout.
    virtual bool FrameCanBeSeen() { return true; }

    // Releases the context after the loop.
    virtual void TearDown() = 0;
};

}  // namespace velmoria
