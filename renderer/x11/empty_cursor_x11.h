// The pointer hidden over the renderer's windows.
#pragma once

#include <X11/Xlib.h>

namespace velmoria {

// An empty 1 x 1 pointer made on `window`'s screen; the caller frees it (XFreeCursor).
Cursor MakeEmptyCursorX11(Display* display, Window window);

}  // namespace velmoria
