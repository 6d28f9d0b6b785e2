// Small X11 helpers that every X11 file of both programs uses: window titles, close requests,
// and X errors caught around the calls that expect them instead of ignored for good.
#pragma once

#include <X11/Xlib.h>

namespace velmoria {

// Sets WM_NAME and _NET_WM_NAME (UTF-8), the two properties a title search or a window manager
// reads.
void SetWindowTitleX11(Display* display, Window window, const char* title);

// Asks a window to close the way a window manager does: a WM_PROTOCOLS client message carrying
// WM_DELETE_WINDOW, sent to the window itself. It is acted on when its owner reads it.
void SendDeleteWindowX11(Display* display, Window window);

// The process's handler of X errors that nobody expected: each one goes to `report` as one
// line ("X11: BadWindow (invalid Window parameter), request 4") and the program carries on.
// Without it Xlib prints the error and ends the program.
void InstallXErrorHandlerX11(void (*report)(const char* line));

// A window another program may destroy at any time (a screen-saver daemon's, with our child in
// it): an X error about either window means it is gone, so such errors are not reported and
// `*gone` is set for the caller to end on. None for `child` when there is none.
void ExpectWindowLossX11(Window window, Window child, bool* gone);

// Catches the X errors of the calls made while it lives (a window that another program has
// just destroyed gives BadWindow), then puts the previous handler back.
class XErrorTrapX11 {
  public:
    explicit XErrorTrapX11(Display* display);
    ~XErrorTrapX11();
    XErrorTrapX11(const XErrorTrapX11&) = delete;
    XErrorTrapX11& operator=(const XErrorTrapX11&) = delete;

    // True when a call so far has failed (the requests sent are synchronised first).
    bool Caught();
    // Called by the handler.
    void Record(int errorCode);

  private:
    Display* display_;
    XErrorTrapX11* outer_;
    XErrorHandler previous_;
    int errors_ = 0;
};

}  // namespace velmoria
