// How a screen-saver daemon (xscreensaver, MATE, xfce) runs a hack on Linux: the window to draw
// in comes as XSCREENSAVER_WINDOW, or as "-window-id ID", or "-root" means that window or the
// root window. The standard command line ("/s", "/c", "/p ...") is not a hosted run.
#pragma once

#include <string>
#include <vector>

namespace velmoria {

struct HostedRun {
    bool hosted = false;
    // The window id in decimal, read as the renderer reads it (ParseWindowId); empty for the
    // root window.
    std::string window;
    // Hosted, but what was given is no window id: the run cannot do its job.
    bool badWindow = false;
    std::string given;  // the text that was given, for the message
    // The daemon's frame limit option ("-frame-limit N"), passed on to the renderer as given
    // (it judges the text); empty when there is none.
    std::string frameLimit;
};

// `arguments` are the program's arguments without its own path; `environmentWindow` is
// XSCREENSAVER_WINDOW, or null when it is not set.
HostedRun HostedRunFrom(const std::vector<std::string>& arguments, const char* environmentWindow);

// A daemon runs one copy per monitor; the music plays once per desktop session (display). The
// file name of that session's music lock, for a display name such as ":0.0" (null or empty
// when unknown): the screen number is dropped, and anything but letters, digits, ':', '.',
// '-' and '_' becomes '_'.
std::string MusicLockFileName(const char* display);

}  // namespace velmoria
