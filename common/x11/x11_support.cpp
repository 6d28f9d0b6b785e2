// Titles, close requests and the X error handlers.
#include "common/x11/x11_support.h"

#include <X11/Xatom.h>

#include <cstdio>
#include <cstring>

namespace velmoria {

namespace {

XErrorTrapX11* activeTrap = nullptr;
void (*unexpectedErrorReport)(const char*) = nullptr;
Window lossWindows[2] = {None, None};
bool* lossSeen = nullptr;

bool AboutLostWindow(const XErrorEvent& event) {
    if (lossSeen == nullptr || event.resourceid == None) {
        return false;
    }
    for (const Window window : lossWindows) {
        if (event.resourceid == window) {
            *lossSeen = true;
            return true;
        }
    }
    return false;
}

int HandleXError(Display* display, XErrorEvent* event) {
    if (activeTrap != nullptr) {
        activeTrap->Record(event->error_code);
        return 0;
    }
    if (AboutLostWindow(*event)) {
        return 0;
    }
    if (unexpectedErrorReport != nullptr) {
        char text[160] = {};
        XGetErrorText(display, event->error_code, text, sizeof text);
        char line[256];
        std::snprintf(line, sizeof line, "X11: %s, request %d.%d", text, event->request_code,
                      event->minor_code);
        unexpectedErrorReport(line);
    }
    return 0;
}

}  // namespace

void SetWindowTitleX11(Display* display, Window window, const char* title) {
    XStoreName(display, window, title);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title),
                    static_cast<int>(std::strlen(title)));
}

void SendDeleteWindowX11(Display* display, Window window) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

void InstallXErrorHandlerX11(void (*report)(const char* line)) {
    unexpectedErrorReport = report;
    XSetErrorHandler(HandleXError);
}

void ExpectWindowLossX11(Window window, Window child, bool* gone) {
    lossWindows[0] = window;
    lossWindows[1] = child;
    lossSeen = gone;
}

XErrorTrapX11::XErrorTrapX11(Display* display) : display_(display), outer_(activeTrap) {
    // Errors of earlier requests belong to whoever made them, not to this trap.
    XSync(display_, False);
    activeTrap = this;
    previous_ = XSetErrorHandler(HandleXError);
}

XErrorTrapX11::~XErrorTrapX11() {
    XSync(display_, False);
    activeTrap = outer_;
    XSetErrorHandler(previous_);
}

bool XErrorTrapX11::Caught() {
    XSync(display_, False);
    return errors_ > 0;
}

void XErrorTrapX11::Record(int) {
    ++errors_;
}

}  // namespace velmoria
