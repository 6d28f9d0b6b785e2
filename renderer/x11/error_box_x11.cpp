// The error box on Linux: the text on standard error, and a small modal X11 window captioned
// "Error" with the text and an OK button. Without a display only the standard error line stays.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "renderer/x11/error_box_x11.h"

#include "common/x11/x11_support.h"
#include "renderer/posix/renderer_platform_posix.h"

namespace velmoria {

namespace {

constexpr int kMargin = 16;
constexpr int kButtonWidth = 80;
constexpr int kButtonHeight = 26;

std::vector<std::string> SplitLines(const char* text) {
    std::vector<std::string> lines;
    std::string line;
    for (const char* c = text; *c; ++c) {
        if (*c == '\n') {
            lines.push_back(line);
            line.clear();
        } else if (*c != '\r') {
            line += *c;
        }
    }
    if (!line.empty() || lines.empty()) {
        lines.push_back(line);
    }
    return lines;
}

struct BoxLayout {
    int width;
    int height;
    int lineHeight;
    int ascent;
    int buttonX;
    int buttonY;
};

int TextWidth(XFontStruct* font, const std::string& text) {
    return font ? XTextWidth(font, text.c_str(), static_cast<int>(text.size()))
                : static_cast<int>(text.size()) * 6;
}

BoxLayout Lay(XFontStruct* font, const std::vector<std::string>& lines) {
    BoxLayout layout;
    layout.ascent = font ? font->ascent : 11;
    layout.lineHeight = font ? font->ascent + font->descent + 2 : 15;
    int textWidth = 0;
    for (const std::string& line : lines) {
        textWidth = std::max(textWidth, TextWidth(font, line));
    }
    layout.width = std::max(textWidth, kButtonWidth) + 2 * kMargin;
    layout.width = std::max(layout.width, 240);
    const int textHeight = layout.lineHeight * static_cast<int>(lines.size());
    layout.buttonX = (layout.width - kButtonWidth) / 2;
    layout.buttonY = kMargin + textHeight + kMargin;
    layout.height = layout.buttonY + kButtonHeight + kMargin;
    return layout;
}

void SetDialogProperties(Display* display, Window box, const BoxLayout& layout) {
    SetWindowTitleX11(display, box, "Error");
    Atom dialog = XInternAtom(display, "_NET_WM_WINDOW_TYPE_DIALOG", False);
    XChangeProperty(display, box, XInternAtom(display, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&dialog), 1);
    XSizeHints hints;
    std::memset(&hints, 0, sizeof hints);
    hints.flags = PMinSize | PMaxSize;
    hints.min_width = hints.max_width = layout.width;
    hints.min_height = hints.max_height = layout.height;
    XSetWMNormalHints(display, box, &hints);
}

void Draw(Display* display, Window box, Window button, GC gc, const BoxLayout& layout,
          const std::vector<std::string>& lines, bool pressed) {
    XClearWindow(display, box);
    int y = kMargin + layout.ascent;
    for (const std::string& line : lines) {
        XDrawString(display, box, gc, kMargin, y, line.c_str(), static_cast<int>(line.size()));
        y += layout.lineHeight;
    }
    XClearWindow(display, button);
    XDrawRectangle(display, button, gc, 1, 1, kButtonWidth - 3, kButtonHeight - 3);
    if (pressed) {
        XDrawRectangle(display, button, gc, 2, 2, kButtonWidth - 5, kButtonHeight - 5);
    }
    XDrawString(display, button, gc, (kButtonWidth - 12) / 2,
                (kButtonHeight + layout.ascent) / 2 - 1, "OK", 2);
    XFlush(display);
}

// Runs the box until OK is clicked, Return, Enter, Escape or space is pressed, or the box is
// closed by the window manager.
void RunBox(Display* display, const char* text, Window owner) {
    const std::vector<std::string> lines = SplitLines(text);
    const int screen = DefaultScreen(display);
    GC gc = DefaultGC(display, screen);
    XFontStruct* font = XQueryFont(display, XGContextFromGC(gc));
    const BoxLayout layout = Lay(font, lines);
    const unsigned long white = WhitePixel(display, screen);
    const unsigned long black = BlackPixel(display, screen);
    const int x = std::max(0, (DisplayWidth(display, screen) - layout.width) / 2);
    const int y = std::max(0, (DisplayHeight(display, screen) - layout.height) / 2);
    Window box = XCreateSimpleWindow(display, RootWindow(display, screen), x, y, layout.width,
                                     layout.height, 1, black, white);
    Window button = XCreateSimpleWindow(display, box, layout.buttonX, layout.buttonY, kButtonWidth,
                                        kButtonHeight, 0, black, white);
    SetDialogProperties(display, box, layout);
    // A window manager keeps a box that belongs to the full-screen window above it.
    if (owner != None) {
        XSetTransientForHint(display, box, owner);
    }
    Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, box, &deleteWindow, 1);
    XSelectInput(display, box, ExposureMask | KeyPressMask | StructureNotifyMask);
    XSelectInput(display, button, ExposureMask | ButtonPressMask | ButtonReleaseMask);
    XMapWindow(display, button);
    XMapRaised(display, box);

    bool pressed = false;
    bool done = false;
    while (!done) {
        XEvent event;
        XNextEvent(display, &event);
        switch (event.type) {
            case MapNotify:
                if (event.xmap.window == box) {
                    XSetInputFocus(display, box, RevertToParent, CurrentTime);
                }
                break;
            case Expose:
                if (event.xexpose.count == 0) {
                    Draw(display, box, button, gc, layout, lines, pressed);
                }
                break;
            case KeyPress: {
                const KeySym symbol = XLookupKeysym(&event.xkey, 0);
                done = symbol == XK_Return || symbol == XK_KP_Enter || symbol == XK_Escape ||
                       symbol == XK_space;
                break;
            }
            case ButtonPress:
                pressed = event.xbutton.button == Button1;
                Draw(display, box, button, gc, layout, lines, pressed);
                break;
            case ButtonRelease:
                // A click counts when the button is released over it.
                done = pressed && event.xbutton.x >= 0 && event.xbutton.y >= 0 &&
                       event.xbutton.x < kButtonWidth && event.xbutton.y < kButtonHeight;
                pressed = false;
                Draw(display, box, button, gc, layout, lines, pressed);
                break;
            case ClientMessage:
                done = static_cast<Atom>(event.xclient.data.l[0]) == deleteWindow;
                break;
            case DestroyNotify:
                if (event.xdestroywindow.window == box) {
                    box = 0;
                    done = true;
                }
                break;
            default:
                break;
        }
    }
    if (font != nullptr) {
        XFreeFontInfo(nullptr, font, 1);
    }
    if (box != 0) {
        XDestroyWindow(display, box);
    }
    XSync(display, False);
}

}  // namespace

void ShowErrorBoxX11(const char* text, unsigned long owner) {
    WriteErrorTextPosix(text);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        return;
    }
    {
        // The box's own requests may meet a window manager's changes; none of that matters.
        XErrorTrapX11 trap(display);
        RunBox(display, text, static_cast<Window>(owner));
    }
    XCloseDisplay(display);
}

}  // namespace velmoria
