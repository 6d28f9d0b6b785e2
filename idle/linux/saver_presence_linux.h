// Whether a saver of ours runs, or its settings dialog is open, in any process: the windows'
// titles as the shell and the renderer hold them, in the title registry (Wayland) and,
// when there is an X display, among its top-level windows (X11 and XWayland).
#pragma once

namespace velmoria {

struct SaverPresence {
    bool saver = false;   // a session ("Skorvane_Main") or a renderer ("Skorvane_VC")
    bool dialog = false;  // the settings dialog ("<Velmoria>")
};

// Looks now. A registry lock file that cannot be trusted counts as present (and is said on
// standard error): nothing starts on a doubt.
SaverPresence LookForSaverLinux();

}  // namespace velmoria
