// Another program that raises itself whenever it is covered, as a locker's dialog or an
// on-screen display may: an override-redirect window of a colour over WxH+X+Y for SECONDS.
// It prints how often it raised itself and how often something was put above it.
//   self-raiser WxH+X+Y RRGGBB SECONDS
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <sys/select.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    unsigned width = 0, height = 0, colour = 0;
    int x = 0, y = 0;
    if (argc != 4 || std::sscanf(argv[1], "%ux%u+%d+%d", &width, &height, &x, &y) != 4 ||
        std::sscanf(argv[2], "%x", &colour) != 1) {
        std::fprintf(stderr, "usage: self-raiser WxH+X+Y RRGGBB SECONDS\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "self-raiser: no display\n");
        return 1;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = colour;  // a TrueColor visual of 24 bits
    attributes.event_mask = VisibilityChangeMask;
    const Window window = XCreateWindow(
        display, DefaultRootWindow(display), x, y, width, height, 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XStoreName(display, window, "self-raiser");
    XMapRaised(display, window);
    XFlush(display);
    const auto end = std::chrono::steady_clock::now() +
                     std::chrono::milliseconds(static_cast<int>(std::atof(argv[3]) * 1000));
    long raised = 0, covered = 0;
    const int fd = ConnectionNumber(display);
    while (std::chrono::steady_clock::now() < end) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == VisibilityNotify && event.xvisibility.state != VisibilityUnobscured) {
                ++covered;
                ++raised;
                XRaiseWindow(display, window);
            }
        }
        XFlush(display);
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval wait{0, 20000};
        select(fd + 1, &readable, nullptr, nullptr, &wait);
    }
    std::printf("raised=%ld covered=%ld\n", raised, covered);
    XCloseDisplay(display);
    return 0;
}
