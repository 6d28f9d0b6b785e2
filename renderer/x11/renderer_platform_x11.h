// The renderer's services on Linux with a display: those of the POSIX platform, with the X11
// error box and the pointer hidden over the renderer's window.
#pragma once

#include "renderer/posix/renderer_platform_posix.h"
#include "renderer/x11/renderer_window_x11.h"

namespace velmoria {

class RendererPlatformX11 final : public RendererPlatformPosix {
  public:
    explicit RendererPlatformX11(const RendererWindowX11& window) : window_(window) {}
    void ShowErrorBox(const char* text) override;
    void HideCursor() override;

  private:
    const RendererWindowX11& window_;
};

}  // namespace velmoria
