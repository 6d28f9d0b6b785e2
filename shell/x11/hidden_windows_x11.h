// The shell's own windows on X11: unmapped top-level windows with a title, served by GLib's main
// loop through an event source on the X connection.
#pragma once

#include <X11/Xlib.h>

#include <set>

struct _GMainLoop;

namespace velmoria {

class HiddenWindowsX11 {
  public:
    // An unmapped top-level window titled `title` that closes on WM_DELETE_WINDOW.
    bool Create(Display* display, const char* title);
    // GLib's main loop until the last of them is closed or destroyed.
    void RunWhileLoaded(Display* display);

  private:
    void Forget(Window window);
    void HandleEvent(Display* display, const XEvent& event);

    std::set<Window> live_;
    ::_GMainLoop* loop_ = nullptr;
    friend struct XSourceX11;
};

}  // namespace velmoria
