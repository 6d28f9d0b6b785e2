// The renderer's window on X11 with GLX: one window over the whole screen, titled "Skorvane_VC",
// class "OpenGL"; every pending event is handled before each frame. Events are translated into
// the renderer's input and judged by the portable exit rules.
#include <GL/glx.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "../frame.h"
#include "../input_rules.h"
#include "../renderer_entry.h"
#include "../scene.h"

namespace velmoria {

namespace {

struct WindowX11 {
    Display* display = nullptr;
    Window window = 0;
    bool destroyed = false;  // destroyed by us, or DestroyNotify seen
    bool quit = false;       // the loop's WM_QUIT
    Atom wmProtocols = 0;
    Atom wmDeleteWindow = 0;
};

WindowX11 rendererWindow;

// Errors for a window that someone else has destroyed are expected; none may end the program.
int IgnoreXError(Display*, XErrorEvent*) {
    return 0;
}

// The server went away (or killed our connection): the window is gone, so end normally.
int EndWithoutServer(Display*) {
    std::exit(0);
}

void SetTitleAndClass(Display* display, Window window) {
    const char title[] = "Skorvane_VC";
    XStoreName(display, window, title);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title), std::strlen(title));
    XClassHint classHint;
    char name[] = "Velmoria";
    char className[] = "OpenGL";
    classHint.res_name = name;
    classHint.res_class = className;
    XSetClassHint(display, window, &classHint);
}

// Asks a window manager, if there is one, to leave the window undecorated over the whole screen.
void AskForFullScreen(Display* display, Window window, int width, int height) {
    XSizeHints sizeHints;
    std::memset(&sizeHints, 0, sizeof sizeHints);
    sizeHints.flags = USPosition | USSize | PMinSize | PMaxSize;
    sizeHints.x = 0;
    sizeHints.y = 0;
    sizeHints.width = sizeHints.min_width = sizeHints.max_width = width;
    sizeHints.height = sizeHints.min_height = sizeHints.max_height = height;
    XSetWMNormalHints(display, window, &sizeHints);
    Atom fullScreen = XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False);
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<unsigned char*>(&fullScreen), 1);
    const long motifHints[5] = {2 /* decorations field valid */, 0, 0 /* none */, 0, 0};
    Atom motif = XInternAtom(display, "_MOTIF_WM_HINTS", False);
    XChangeProperty(display, window, motif, motif, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(motifHints), 5);
}

CursorPoint PointerPosition(Display* display) {
    Window root = 0, child = 0;
    int rootX = 0, rootY = 0, windowX = 0, windowY = 0;
    unsigned int mask = 0;
    XQueryPointer(display, DefaultRootWindow(display), &root, &child, &rootX, &rootY, &windowX,
                  &windowY, &mask);
    return {rootX, rootY};
}

// Waits (briefly) until the window is viewable, then gives it the keyboard: there may be no
// window manager to do it.
void TakeKeyboard(Display* display, Window window) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    XWindowAttributes attributes;
    while (XGetWindowAttributes(display, window, &attributes) &&
           attributes.map_state != IsViewable && std::chrono::steady_clock::now() < deadline) {
        XEvent event;
        if (XCheckTypedWindowEvent(display, window, MapNotify, &event)) {
            break;
        }
        XFlush(display);
        struct timespec pause = {0, 5 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
    XFlush(display);
}

// Alt, F10 and anything pressed with Alt held are the system's keys, as on Windows.
RendererInput TranslateKey(XKeyEvent& key) {
    const KeySym symbol = XLookupKeysym(&key, 0);
    const bool systemKey = symbol == XK_Alt_L || symbol == XK_Alt_R || symbol == XK_Meta_L ||
                           symbol == XK_Meta_R || symbol == XK_F10 || (key.state & Mod1Mask);
    return systemKey ? RendererInput::SystemKeyDown : RendererInput::KeyDown;
}

// Posts the close request to the window: it is acted on when the loop reaches it.
void RequestClose(SaverSettings& settings) {
    XEvent event;
    std::memset(&event, 0, sizeof event);
    event.xclient.type = ClientMessage;
    event.xclient.window = static_cast<Window>(settings.hwnd);
    event.xclient.message_type = rendererWindow.wmProtocols;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(rendererWindow.wmDeleteWindow);
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(rendererWindow.display, static_cast<Window>(settings.hwnd), False, NoEventMask,
               &event);
    XFlush(rendererWindow.display);
}

// The window procedure: what each event does.
void HandleEvent(XEvent& event, SaverSettings& settings) {
    WindowX11& w = rendererWindow;
    if (event.xany.window != w.window) {
        return;
    }
    switch (event.type) {
        case DestroyNotify:
            if (event.xdestroywindow.window == w.window) {
                w.destroyed = true;
                w.quit = true;
            }
            return;
        case ClientMessage:
            // The close request, ours or the window manager's: its default handling destroys
            // the window; later requests find it gone and change nothing.
            if (event.xclient.message_type == w.wmProtocols &&
                static_cast<Atom>(event.xclient.data.l[0]) == w.wmDeleteWindow && !w.destroyed) {
                XDestroyWindow(w.display, w.window);
                XFlush(w.display);
                w.destroyed = true;
            }
            return;
        default:
            break;
    }
    RendererInput input;
    switch (event.type) {
        case KeyPress:
            input = TranslateKey(event.xkey);
            break;
        case ButtonPress:
            input = event.xbutton.button >= Button1 && event.xbutton.button <= Button3
                        ? RendererInput::ButtonDown
                        : RendererInput::OtherButtonDown;
            break;
        case ButtonRelease:
            input = RendererInput::ButtonUp;
            break;
        case MotionNotify:
            input = RendererInput::MouseMove;
            break;
        default:
            return;
    }
    const CursorPoint cursor =
        input == RendererInput::MouseMove ? PointerPosition(w.display) : CursorPoint{0, 0};
    if (RequestsClose(input, settings, cursor)) {
        RequestClose(settings);
    }
}

}  // namespace

void HideCursor() {
    WindowX11& w = rendererWindow;
    if (w.display == nullptr || w.window == 0) {
        return;
    }
    static char emptyBits[1] = {0};
    Pixmap empty = XCreateBitmapFromData(w.display, w.window, emptyBits, 1, 1);
    XColor black;
    std::memset(&black, 0, sizeof black);
    Cursor invisible = XCreatePixmapCursor(w.display, empty, empty, &black, &black, 0, 0);
    XDefineCursor(w.display, w.window, invisible);
    XFreeCursor(w.display, invisible);
    XFreePixmap(w.display, empty);
}

void RunRendererWindow(SaverSettings& settings, int /*showCommand*/) {
    WindowX11& w = rendererWindow;
    XSetErrorHandler(IgnoreXError);
    XSetIOErrorHandler(EndWithoutServer);
    w.display = XOpenDisplay(nullptr);
    if (w.display == nullptr) {
        // Windows has no such failure; say why nothing appears, and still end with 0.
        const char* name = XDisplayName(nullptr);
        std::fprintf(stderr, "Velmoria.dll: cannot open the X display %s\n",
                     name != nullptr && name[0] != '\0' ? name : "(DISPLAY is not set)");
        return;
    }
    Display* display = w.display;
    const int screen = DefaultScreen(display);
    const int width = DisplayWidth(display, screen);
    const int height = DisplayHeight(display, screen);

    // X needs the pixel format (the visual) before the window exists. As on Windows: double
    // buffered RGBA, 8 bits a colour, no depth buffer asked for.
    int visualAttributes[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    XVisualInfo* visual = glXChooseVisual(display, screen, visualAttributes);
    if (visual == nullptr) {
        std::fprintf(stderr, "Velmoria.dll: the X server has no double-buffered RGBA visual\n");
        XCloseDisplay(display);
        w.display = nullptr;
        return;
    }
    const Window root = RootWindow(display, screen);
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
    attributes.background_pixmap = None;  // nothing erases the window
    attributes.border_pixel = 0;
    attributes.event_mask = KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            StructureNotifyMask;
    w.window = XCreateWindow(display, root, 0, 0, width, height, 0, visual->depth, InputOutput,
                             visual->visual,
                             CWColormap | CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
    if (w.window == 0) {
        XFree(visual);
        XCloseDisplay(display);
        w.display = nullptr;
        return;
    }
    SetTitleAndClass(display, w.window);
    AskForFullScreen(display, w.window, width, height);
    w.wmProtocols = XInternAtom(display, "WM_PROTOCOLS", False);
    w.wmDeleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display, w.window, &w.wmDeleteWindow, 1);
    // What the window's creation records: its handle and where the pointer is.
    settings.hwnd = w.window;
    settings.startCursor = PointerPosition(display);
    // Visible from creation, like a WS_VISIBLE window.
    XMapWindow(display, w.window);
    TakeKeyboard(display, w.window);

    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    glXMakeCurrent(display, w.window, context);
    XFree(visual);
    InitScene(width, height);
    // Shown and activated again: an error box may have taken the keyboard meanwhile.
    XRaiseWindow(display, w.window);
    XSetInputFocus(display, w.window, RevertToParent, CurrentTime);

    while (!w.quit) {
        if (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            HandleEvent(event, settings);
            continue;
        }
        DrawFrame();
        glXSwapBuffers(display, w.window);
    }

    glXMakeCurrent(display, None, nullptr);
    if (context != nullptr) {
        glXDestroyContext(display, context);
    }
    XCloseDisplay(display);
    w = WindowX11{};
}

}  // namespace velmoria
