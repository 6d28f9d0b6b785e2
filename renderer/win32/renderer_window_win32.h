// The renderer's window on Windows: class "OpenGL", the full-screen popup "Skorvane_VC", WGL;
// and a black topmost popup over every other monitor, following WM_DISPLAYCHANGE.
#pragma once

#include <windows.h>

#include <vector>

#include "renderer/monitor_windows.h"
#include "renderer/platform.h"

namespace velmoria {

// The window procedure: records the window and the cursor at creation, judges input by the
// exit rules, posts the quit message once the window is destroyed, and has the black windows
// follow a change of monitors.
LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The black windows' procedure: input judged as on the animated window, a close request passed
// on to it, no pointer.
LRESULT CALLBACK BlackWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The monitors' rectangles (EnumDisplayMonitors).
std::vector<ScreenRect> MonitorsWin32();

class RendererWindowWin32 final : public RendererWindow, private BlackWindowMaker {
  public:
    bool Create(SaverSettings& settings, int32_t& width, int32_t& height) override;
    void Show(int showCommand) override;
    Message HandleNextMessage() override;
    void SwapBuffers() override;
    void WaitForMessage(int64_t timeoutUs) override;
    bool FrameCanBeSeen() override { return displayOn_; }
    void TearDown() override;

    // The console display's state, from WM_POWERBROADCAST: 0 off, 1 on, 2 dimmed.
    void FollowDisplayState(DWORD state) { displayOn_ = state != 0; }

    // Covers every monitor but the animated window's with a black window, as they are now.
    void FollowMonitors();
    const MonitorWindows& monitors() const { return monitors_; }

  private:
    uintptr_t CreateBlackWindow(const ScreenRect& rect) override;
    void DestroyBlackWindow(uintptr_t window) override;

    MonitorWindows monitors_;
    ScreenRect animatedRect_;
    bool blackClassRegistered_ = false;
    HWND window_ = nullptr;
    HDC deviceContext_ = nullptr;
    HGLRC context_ = nullptr;
    HPOWERNOTIFY displayNotification_ = nullptr;
    bool displayOn_ = true;
    bool finerTimer_ = false;  // the system timer's period set to 1 ms for the frame waits
};

}  // namespace velmoria
