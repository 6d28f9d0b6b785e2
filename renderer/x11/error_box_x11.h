// The error box on X11: the text on standard error, and a small modal window captioned "Error"
// with the text and an OK button, on its own connection. Without a display only the standard
// error line stays.
#pragma once

namespace velmoria {

// Returns once OK is clicked, Return, Enter, Escape or space is pressed, or the window manager
// closes the box. The box is transient for `owner` (the renderer's window; 0 for none), so that
// a window manager keeps it above that full-screen window.
void ShowErrorBoxX11(const char* text, unsigned long owner);

}  // namespace velmoria
