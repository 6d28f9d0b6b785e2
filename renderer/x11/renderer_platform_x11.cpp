// The error box and the hidden pointer of the Linux renderer.
#include "renderer/x11/renderer_platform_x11.h"

#include "renderer/x11/empty_cursor_x11.h"
#include "renderer/x11/error_box_x11.h"

namespace velmoria {

void RendererPlatformX11::ShowErrorBox(const char* text) {
    ShowErrorBoxX11(text, window_.window());
}

// An empty 1 x 1 pointer for the window, kept for its whole life. A daemon's window (or the
// root, for -root) is not ours: its pointer is left as the daemon set it, since nothing would
// give it back after the run.
void RendererPlatformX11::HideCursor() {
    Display* display = window_.display();
    const Window window = window_.window();
    if (display == nullptr || window == None || window_.hosted()) {
        return;
    }
    const Cursor empty = MakeEmptyCursorX11(display, window);
    XDefineCursor(display, window, empty);
    XFreeCursor(display, empty);
}

}  // namespace velmoria
