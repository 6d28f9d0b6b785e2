// The shell's own top-level windows, and the event loop that runs while one of them is loaded
// (the message loop on Windows, GLib's main loop on Linux).
#pragma once

namespace velmoria {

// A top-level window with that title, never shown. The program's loop ends once every such
// window has been closed. False when it could not be made.
bool CreateHiddenWindow(const char* title);

// Dispatches events until no window of the program is left; returns at once when there is none.
void RunWhileWindowsLoaded();

// Asks the top-level window of that title, of any program, to close. False when there is none.
bool CloseWindowTitled(const char* title);

}  // namespace velmoria
