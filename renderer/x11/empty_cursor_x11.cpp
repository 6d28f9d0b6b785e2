// An empty pointer: a 1 x 1 bitmap with nothing set, as source and mask.
#include "renderer/x11/empty_cursor_x11.h"

#include <cstring>

namespace velmoria {

Cursor MakeEmptyCursorX11(Display* display, Window window) {
    static char emptyBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(display, window, emptyBits, 1, 1);
    XColor black;
    std::memset(&black, 0, sizeof black);
    Cursor cursor = XCreatePixmapCursor(display, empty, empty, &black, &black, 0, 0);
    XFreePixmap(display, empty);
    return cursor;
}

}  // namespace velmoria
