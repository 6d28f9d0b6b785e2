// The shell's platform on Wayland: no program sees another's windows there, so the title
// searches ask the title registry that our two programs keep for their own windows; the forms
// are titles in that registry with GLib timers. Files, music and the settings dialog (GTK on its
// Wayland backend) are shared with X11 (ShellPlatformLinux). There is no preview: a display
// settings' preview window of another program is out of reach.
#pragma once

#include <memory>

#include "shell/desktop/shell_platform_linux.h"

namespace velmoria {

class FormsWayland;

class ShellPlatformWayland final : public ShellPlatformLinux {
  public:
    ShellPlatformWayland();
    ~ShellPlatformWayland() override;

    bool TopLevelWindowExists(const char* title) override;
    // Another program's window: never, on Wayland (the preview ends at once).
    bool IsWindow(WindowHandle window) override;
    std::optional<PixelRect> WindowRectangle(WindowHandle) override { return std::nullopt; }
    WindowHandle CreateForm(const char* title, uint32_t background, FormEvents* events) override;
    void ShowForm(WindowHandle) override {}  // the forms never show anything
    void SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) override;
    void EndProgram() override;
    void RunWhileWindowsLoaded() override;
    double TwipsPerPixelX() override { return 15.0; }
    double TwipsPerPixelY() override { return 15.0; }
    int32_t AddChildStyle(WindowHandle) override { return 0; }
    int32_t SetParentWindow(WindowHandle, WindowHandle) override { return 0; }
    void MoveForm(WindowHandle, int32_t, int32_t, int32_t, int32_t) override {}
    void SetFormPicture(WindowHandle, int32_t, int32_t, PixelImage) override {}
    // Holds "<Velmoria>" in the registry while the dialog is open.
    void RunSettingsDialog(const std::string& settingsFile) override;
    bool TakeMusicLock() override;
    // velmoria-idle ends the saver with SIGTERM to the shell: the renderer goes with it.
    bool RendererEndsWithSession() override { return true; }

  private:
    std::unique_ptr<FormsWayland> forms_;
};

}  // namespace velmoria
