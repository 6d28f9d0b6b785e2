// The renderer's window on X11 with GLX: one top-level window over the primary monitor, titled
// "Skorvane_VC", class "OpenGL", asking a window manager for full screen without decorations,
// and a black override-redirect window over every other RandR monitor; or, hosted by a
// screen-saver daemon, the daemon's window (XSCREENSAVER_WINDOW).
#pragma once

#include <GL/glx.h>
#include <X11/Xlib.h>

#include "renderer/input_rules.h"
#include "renderer/monitor_windows.h"
#include "renderer/platform.h"

namespace velmoria {

class RendererWindowX11 final : public RendererWindow, private BlackWindowMaker {
  public:
    RendererWindowX11() = default;
    // Closes a connection that a failed set-up left open (TearDown closes it otherwise).
    ~RendererWindowX11() override;
    RendererWindowX11(const RendererWindowX11&) = delete;
    RendererWindowX11& operator=(const RendererWindowX11&) = delete;
    bool Create(SaverSettings& settings, int32_t& width, int32_t& height) override;
    void Show(int showCommand) override;
    Message HandleNextMessage() override;
    void SwapBuffers() override;
    void WaitForMessage(int64_t timeoutUs) override;
    bool FrameCanBeSeen() override;
    void TearDown() override;

    Display* display() const { return display_; }
    // The window, or None before it exists and once it is destroyed.
    Window window() const { return destroyed_ ? None : window_; }
    // Drawing in a screen-saver daemon's window: its pointer is the daemon's business.
    bool hosted() const { return host_ != None; }
    // The black windows over the other monitors.
    const MonitorWindows& monitors() const { return monitors_; }

  private:
    bool DrawIntoHost(Window host, SaverSettings& settings, int32_t& width, int32_t& height);
    void MakeContext(XVisualInfo* visual);
    void HandleEvent(XEvent& event);
    void HandleHostEvent(XEvent& event);
    void FollowSize(int width, int height);
    void RequestClose();
    void FollowMonitors();
    void HandleBlackEvent(XEvent& event);
    void RaiseOwedBlackWindows();
    void JudgeInput(XEvent& event);
    uintptr_t CreateBlackWindow(const ScreenRect& rect) override;
    void DestroyBlackWindow(uintptr_t window) override;

    SaverSettings* settings_ = nullptr;
    Display* display_ = nullptr;
    Window window_ = None;
    GLXContext context_ = nullptr;
    bool destroyed_ = false;  // destroyed by us, or DestroyNotify seen
    bool quit_ = false;       // the loop's WM_QUIT
    int width_ = 0;           // the size the viewport and projection are set for
    int height_ = 0;
    Atom wmProtocols_ = None;
    Atom wmDeleteWindow_ = None;
    Window host_ = None;      // a screen-saver daemon's window we draw into, or None
    bool ownsChild_ = false;  // drawing in a child of the host (its visual has no GL)
    bool hostLost_ = false;   // an X error named the host or our child: the daemon destroyed it
    MonitorWindows monitors_;
    ScreenRect animatedRect_;        // where the animated window was put; it stays there
    int monitorChangeEvent_ = -1;    // RandR's screen-change event type, -1 without RandR
    Cursor invisibleCursor_ = None;  // the black windows' pointer
    bool covered_ = false;           // the window we draw in is wholly covered
    bool asleep_ = false;            // the displays sleep (DPMS), as last asked
    LateStartCursor start_;          // where the pointer rested, once the server has said
    bool enterTellsPointer_ = true;  // a crossing's position is the pointer's (not XWayland)
    int64_t asleepAskedMs_ = -1;     // when the displays' power was last asked
    bool dpmsCapable_ = false;       // the server's displays can sleep at all
};

// The window a screen-saver daemon hands its hack in XSCREENSAVER_WINDOW (decimal or 0x hex);
// None when there is none.
Window HostWindowFromEnvironment();

}  // namespace velmoria
