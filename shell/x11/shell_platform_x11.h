// The shell's platform on Linux with X11: X11 for windows and forms, the rest shared with the
// Wayland backend (ShellPlatformLinux).
#pragma once

#include <map>
#include <memory>
#include <string>

#include "shell/desktop/shell_platform_linux.h"

// Xlib stays out of this header: its macros (Status, None, Bool) clash with names elsewhere.
struct _XDisplay;

namespace velmoria {

class FormsX11;

class ShellPlatformX11 final : public ShellPlatformLinux {
  public:
    ShellPlatformX11();
    // Takes over a connection the program's entry has opened (and checked) already; the same as
    // the default when null.
    explicit ShellPlatformX11(_XDisplay* display);
    ~ShellPlatformX11() override;

    bool TopLevelWindowExists(const char* title) override;
    bool IsWindow(WindowHandle window) override;
    std::optional<PixelRect> WindowRectangle(WindowHandle window) override;
    WindowHandle CreateForm(const char* title, uint32_t background, FormEvents* events) override;
    void ShowForm(WindowHandle form) override;
    void SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) override;
    void EndProgram() override;
    void RunWhileWindowsLoaded() override;
    double TwipsPerPixelX() override { return TwipsPerPixel(); }
    double TwipsPerPixelY() override { return TwipsPerPixel(); }
    // X windows have no style bits to change: a window is a child by having a parent.
    int32_t AddChildStyle(WindowHandle form) override { return form != 0 ? 1 : 0; }
    int32_t SetParentWindow(WindowHandle form, WindowHandle parent) override;
    void MoveForm(WindowHandle form, int32_t x, int32_t y, int32_t width, int32_t height) override;
    void SetFormPicture(WindowHandle form, int32_t x, int32_t y, PixelImage picture) override;
    bool TakeMusicLock() override;
    bool RendererEndsWithSession() override { return false; }

    // For the end-to-end tests' window tool: asks the window of that title, of any program, to
    // close. False when there is none.
    bool CloseWindowTitled(const char* title);
    // The same for one window.
    bool CloseWindow(WindowHandle window);

  private:
    // The shell's one connection, opened on first use; null without an X server. A lost
    // connection closes the forms (their unload runs) and ends the program.
    _XDisplay* ShellDisplay();
    void Adopt(_XDisplay* display);
    FormsX11* Forms();
    // 1440 twips an inch over the screen's dots per inch: Xft.dpi when the desktop sets it,
    // else 96.
    double TwipsPerPixel();
    static int OnConnectionLost(_XDisplay* display);

    bool displayTried_ = false;
    _XDisplay* display_ = nullptr;
    std::unique_ptr<FormsX11> forms_;
    // Windows found by title and watched since: no search while they live.
    std::map<std::string, unsigned long> found_;
};

}  // namespace velmoria
