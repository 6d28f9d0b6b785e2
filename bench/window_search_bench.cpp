// window-search-bench [WINDOWS]: what one title search of the shell costs on the X server in
// DISPLAY, the renderer watch making one every 100 ms. It builds a desktop of WINDOWS (default
// 60) managed windows, each a client with a title and WM_STATE inside a frame two levels deep,
// plus as many unmapped top-level windows, and times a search for a title nobody has (the
// whole tree looked at), with a window manager's client list on the root and without one; then
// the renderer watch's tick, which once it has found the window only looks for its destruction.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "shell/x11/shell_platform_x11.h"
#include "shell/x11/window_search_x11.h"

namespace {

using Clock = std::chrono::steady_clock;

double MedianMicroseconds(Display* display, int runs) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        if (velmoria::FindTopLevelWindowX11(display, "no window has this title") != None) {
            std::fputs("window-search-bench: found a window that does not exist\n", stderr);
            std::exit(1);
        }
        times.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::atoi(argv[1]) : 60;
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || count < 1) {
        std::fputs("usage: window-search-bench [WINDOWS] (needs an X server in DISPLAY)\n", stderr);
        return 2;
    }
    const Window root = DefaultRootWindow(display);
    const Atom wmState = XInternAtom(display, "WM_STATE", False);
    const Atom clientList = XInternAtom(display, "_NET_CLIENT_LIST", False);
    std::vector<Window> clients;
    for (int i = 0; i < count; ++i) {
        const Window frame = XCreateSimpleWindow(display, root, 0, 0, 10, 10, 0, 0, 0);
        const Window parent = XCreateSimpleWindow(display, frame, 0, 0, 10, 10, 0, 0, 0);
        const Window client = XCreateSimpleWindow(display, parent, 0, 0, 10, 10, 0, 0, 0);
        const std::string title = "client " + std::to_string(i);
        XStoreName(display, client, title.c_str());
        const long state[2] = {1, None};
        XChangeProperty(display, client, wmState, wmState, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(state), 2);
        clients.push_back(client);
        const Window hidden = XCreateSimpleWindow(display, root, 0, 0, 1, 1, 0, 0, 0);
        XStoreName(display, hidden, ("hidden " + std::to_string(i)).c_str());
    }
    XSync(display, False);
    const int runs = 200;
    const double withoutList = MedianMicroseconds(display, runs);
    XChangeProperty(display, root, clientList, XA_WINDOW, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(clients.data()),
                    static_cast<int>(clients.size()));
    XSync(display, False);
    const double withList = MedianMicroseconds(display, runs);
    XDeleteProperty(display, root, clientList);
    // The watch tick: the shell's own check for a window it has found before.
    const Window renderer = XCreateSimpleWindow(display, root, 0, 0, 10, 10, 0, 0, 0);
    XStoreName(display, renderer, "watched renderer");
    XSync(display, False);
    velmoria::ShellPlatformX11 shell;
    if (!shell.TopLevelWindowExists("watched renderer")) {
        std::fputs("window-search-bench: the watched window was not found\n", stderr);
        return 1;
    }
    std::vector<double> ticks;
    for (int i = 0; i < 2000; ++i) {
        const Clock::time_point start = Clock::now();
        const bool found = shell.TopLevelWindowExists("watched renderer");
        ticks.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (!found) {
            std::fputs("window-search-bench: the watched window was lost\n", stderr);
            return 1;
        }
    }
    std::sort(ticks.begin(), ticks.end());
    std::printf("%d managed and %d unmapped windows, median of %d searches:\n", count, count, runs);
    std::printf("  with a client list     %8.0f us  (%.2f %% of a 100 ms tick)\n", withList,
                withList / 1000.0);
    std::printf("  without (frames walked) %7.0f us  (%.2f %% of a 100 ms tick)\n", withoutList,
                withoutList / 1000.0);
    std::printf("  watch tick, window found before: %.1f us (median of 2000)\n",
                ticks[ticks.size() / 2]);
    XCloseDisplay(display);
    return 0;
}
