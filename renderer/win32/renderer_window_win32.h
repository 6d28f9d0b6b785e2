// The renderer's window on Windows: class "OpenGL", the full-screen popup "Skorvane_VC", WGL.
#pragma once

#include <windows.h>

#include "renderer/platform.h"

namespace velmoria {

// The window procedure: records the window and the cursor at creation, judges input by the
// exit rules, and posts the quit message once the window is destroyed.
LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class RendererWindowWin32 final : public RendererWindow {
  public:
    bool Create(SaverSettings& settings, int32_t& width, int32_t& height) override;
    void Show(int showCommand) override;
    Message HandleNextMessage() override;
    void SwapBuffers() override;
    void TearDown() override;

  private:
    HWND window_ = nullptr;
    HDC deviceContext_ = nullptr;
    HGLRC context_ = nullptr;
};

}  // namespace velmoria
