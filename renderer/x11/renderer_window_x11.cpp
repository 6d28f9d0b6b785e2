// The renderer's window on X11: creation with its GLX visual and context, the event handling
// the frame loop drives (input translated for the portable exit rules), and the close sequence:
// a close request is a WM_DELETE_WINDOW message to itself, handled by destroying the window.
// The black windows over the other monitors follow RandR's monitors.
#include "renderer/x11/renderer_window_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "common/saver_contract.h"
#include "common/window_id.h"
#include "common/x11/x11_support.h"
#include "renderer/diagnostics.h"
#include "renderer/input_rules.h"
#include "renderer/renderer_program.h"
#include "renderer/scene.h"
#include "renderer/x11/display_power_x11.h"
#include "renderer/x11/empty_cursor_x11.h"
#include "renderer/x11/primary_monitor_x11.h"

namespace velmoria {

namespace {

// The server went away (or killed our connection): the window is gone, so end normally, at
// once: exit handlers must not run in the middle of a GL call that Xlib interrupted.
int EndWithoutServer(Display*) {
    _exit(0);
}

void ReportXError(const char* line) {
    ReportRendererFailure("X11", line);
}

void SetClass(Display* display, Window window) {
    XClassHint classHint;
    char name[] = "Velmoria";
    char className[] = "OpenGL";
    classHint.res_name = name;
    classHint.res_class = className;
    XSetClassHint(display, window, &classHint);
}

// Asks a window manager, if there is one, to leave the window undecorated over the monitor.
void AskForFullScreen(Display* display, Window window, const MonitorRectX11& monitor) {
    XSizeHints sizeHints;
    std::memset(&sizeHints, 0, sizeof sizeHints);
    sizeHints.flags = USPosition | USSize | PMinSize | PMaxSize;
    sizeHints.x = monitor.x;
    sizeHints.y = monitor.y;
    sizeHints.width = sizeHints.min_width = sizeHints.max_width = monitor.width;
    sizeHints.height = sizeHints.min_height = sizeHints.max_height = monitor.height;
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

// Gives the window the keyboard; a window that is not viewable yet refuses it (BadMatch).
void Focus(Display* display, Window window) {
    XErrorTrapX11 trap(display);
    XSetInputFocus(display, window, RevertToParent, CurrentTime);
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
    Focus(display, window);
}

static_assert(XK_Alt_L == keysym::kAltL && XK_Alt_R == keysym::kAltR &&
                  XK_Meta_L == keysym::kMetaL && XK_Meta_R == keysym::kMetaR &&
                  XK_F10 == keysym::kF10,
              "the exit rules name keys by X11's keysyms");

// The keysym of the key's first level, as the exit rules take it; Mod1 is Alt.
RendererInput TranslateKey(XKeyEvent& key) {
    return KeyPressInput(static_cast<uint32_t>(XLookupKeysym(&key, 0)),
                         (key.state & Mod1Mask) != 0);
}

PointerButton TranslateButton(unsigned int button) {
    switch (button) {
        case Button1:
            return PointerButton::Left;
        case Button2:
            return PointerButton::Middle;
        case Button3:
            return PointerButton::Right;
        default:
            return PointerButton::Other;  // 4 to 7 are the wheel's steps
    }
}

// X needs the pixel format (the visual) before the window exists. As on Windows: double
// buffered RGBA, 8 bits a colour, no depth buffer asked for. Null, reported, when there is none.
XVisualInfo* ChooseSaverVisual(Display* display) {
    int visualAttributes[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 8, GLX_GREEN_SIZE, 8, GLX_BLUE_SIZE, 8, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), visualAttributes);
    if (visual == nullptr) {
        ReportRendererFailure("GLX", "no double-buffered RGBA visual");
    }
    return visual;
}

// A window of that visual in `parent`, which nothing erases.
Window CreateGlWindow(Display* display, Window parent, int x, int y, int width, int height,
                      const XVisualInfo& visual, long eventMask) {
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.colormap = XCreateColormap(display, parent, visual.visual, AllocNone);
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    attributes.event_mask = eventMask;
    return XCreateWindow(display, parent, x, y, width, height, 0, visual.depth, InputOutput,
                         visual.visual, CWColormap | CWBackPixmap | CWBorderPixel | CWEventMask,
                         &attributes);
}

}  // namespace

bool RendererWindowX11::Create(SaverSettings& settings, int32_t& width, int32_t& height) {
    settings_ = &settings;
    XSetIOErrorHandler(EndWithoutServer);
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        // Windows has no such failure; say why nothing appears, and still end with 0.
        const char* name = XDisplayName(nullptr);
        ReportRendererFailure("X11",
                              (std::string("cannot open the display ") +
                               (name != nullptr && name[0] != '\0' ? name : "(DISPLAY is not set)"))
                                  .c_str());
        return false;
    }
    InstallXErrorHandlerX11(ReportXError);
    dpmsCapable_ = DisplaysCanSleepX11(display_);
    const Window host = HostWindowFromEnvironment();
    if (host != None) {
        return DrawIntoHost(host, settings, width, height);
    }
    const int screen = DefaultScreen(display_);
    // The primary monitor, as Windows' screen metrics give it; the whole screen without RandR.
    const MonitorRectX11 monitor = PrimaryMonitorX11(display_, screen);
    width = width_ = monitor.width;
    height = height_ = monitor.height;

    XVisualInfo* visual = ChooseSaverVisual(display_);
    if (visual == nullptr) {
        return false;
    }
    window_ = CreateGlWindow(
        display_, RootWindow(display_, screen), monitor.x, monitor.y, width, height, *visual,
        KeyPressMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
            StructureNotifyMask | VisibilityChangeMask);
    if (window_ == None) {
        ReportRendererFailure("X11", "cannot create the window");
        XFree(visual);
        return false;
    }
    SetWindowTitleX11(display_, window_, kRendererWindowTitle);
    SetClass(display_, window_);
    AskForFullScreen(display_, window_, monitor);
    wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &wmDeleteWindow_, 1);
    // What the window's creation records: its handle. Where the pointer rests is taken from the
    // first position the server reports over our windows: XWayland, asked now, may still give
    // the screen's middle for a pointer it has not seen yet, and reports the crossing into a
    // window mapped under it at that stale place too; only its motion follows the compositor.
    settings.hwnd = window_;
    enterTellsPointer_ = !ServerIsXWaylandX11(display_, screen);
    // Visible from creation, like a WS_VISIBLE window.
    XMapWindow(display_, window_);
    // Every other monitor goes black with it, and stays so while monitors come and go.
    animatedRect_ = {monitor.x, monitor.y, monitor.width, monitor.height};
    monitorChangeEvent_ = SelectMonitorChangesX11(display_, screen);
    FollowMonitors();
    TakeKeyboard(display_, window_);

    MakeContext(visual);
    return true;
}

void RendererWindowX11::FollowMonitors() {
    std::vector<ScreenRect> monitors;
    for (const MonitorRectX11& m : MonitorsX11(display_, DefaultScreen(display_))) {
        monitors.push_back({m.x, m.y, m.width, m.height});
    }
    monitors_.Follow(monitors, animatedRect_, *this);
}

// Override-redirect: no window manager frames, moves or stacks it, and it needs no focus (the
// keyboard stays with the animated window).
uintptr_t RendererWindowX11::CreateBlackWindow(const ScreenRect& rect) {
    const Window root = DefaultRootWindow(display_);
    if (invisibleCursor_ == None) {
        invisibleCursor_ = MakeEmptyCursorX11(display_, root);
    }
    XSetWindowAttributes attributes;
    std::memset(&attributes, 0, sizeof attributes);
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display_, DefaultScreen(display_));
    attributes.border_pixel = 0;
    attributes.cursor = invisibleCursor_;
    attributes.event_mask =
        KeyPressMask | ButtonPressMask | PointerMotionMask | EnterWindowMask | VisibilityChangeMask;
    const Window black = XCreateWindow(
        display_, root, rect.x, rect.y, static_cast<unsigned>(rect.width),
        static_cast<unsigned>(rect.height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWOverrideRedirect | CWBackPixel | CWBorderPixel | CWCursor | CWEventMask, &attributes);
    if (black == None) {
        ReportRendererFailure("X11", "cannot create a black window");
        return 0;
    }
    SetClass(display_, black);
    XMapRaised(display_, black);
    return black;
}

void RendererWindowX11::DestroyBlackWindow(uintptr_t window) {
    XErrorTrapX11 trap(display_);  // someone else may have destroyed it already
    XDestroyWindow(display_, static_cast<Window>(window));
}

// A screen-saver daemon's window (xscreensaver, MATE, xfce): drawn into with a GLX context on
// its own visual, or, when that visual has no double-buffered GL, in a child window of ours
// that covers it. Its size is followed; input is the daemon's; its destruction ends the loop.
bool RendererWindowX11::DrawIntoHost(Window host, SaverSettings& settings, int32_t& width,
                                     int32_t& height) {
    XWindowAttributes attributes;
    {
        XErrorTrapX11 trap(display_);
        if (!XGetWindowAttributes(display_, host, &attributes) || trap.Caught()) {
            ReportRendererFailure("X11", "the host window (XSCREENSAVER_WINDOW) is no window");
            return false;
        }
        XSelectInput(display_, host, StructureNotifyMask | VisibilityChangeMask);
    }
    host_ = host;
    width = width_ = attributes.width;
    height = height_ = attributes.height;
    XVisualInfo wanted;
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display_, VisualIDMask, &wanted, &count);
    int useGl = 0;
    int doubleBuffered = 0;
    if (visual != nullptr) {
        glXGetConfig(display_, visual, GLX_USE_GL, &useGl);
        glXGetConfig(display_, visual, GLX_DOUBLEBUFFER, &doubleBuffered);
    }
    if (visual != nullptr && useGl && doubleBuffered) {
        window_ = host;
    } else {
        if (visual != nullptr) {
            XFree(visual);
        }
        visual = ChooseSaverVisual(display_);
        if (visual == nullptr) {
            return false;
        }
        window_ =
            CreateGlWindow(display_, host, 0, 0, width, height, *visual, VisibilityChangeMask);
        XMapWindow(display_, window_);
        ownsChild_ = true;
    }
    // A frame already on its way when the daemon destroys its window fails with BadDrawable:
    // that is the host's end, not a fault.
    ExpectWindowLossX11(host_, ownsChild_ ? window_ : None, &hostLost_);
    settings.hwnd = window_;
    settings.startCursor = PointerPosition(display_);
    MakeContext(visual);
    return true;
}

// The GLX context on the window's visual, made current; the visual is freed. Without a context
// the loop still runs and input still ends it; nothing is drawn.
void RendererWindowX11::MakeContext(XVisualInfo* visual) {
    context_ = glXCreateContext(display_, visual, nullptr, True);
    XFree(visual);
    if (context_ == nullptr) {
        ReportRendererFailure("GLX", "cannot create a context");
    } else if (!glXMakeCurrent(display_, window_, context_)) {
        ReportRendererFailure("GLX", "cannot make the context current");
    }
}

// Shown and activated again: an error box may have taken the keyboard meanwhile.
void RendererWindowX11::Show(int) {
    if (host_ != None) {
        return;  // the daemon shows and stacks its window
    }
    XRaiseWindow(display_, window_);
    Focus(display_, window_);
}

RendererWindow::Message RendererWindowX11::HandleNextMessage() {
    const bool pending = !quit_ && XPending(display_) > 0;  // also reads the errors that came in
    if (hostLost_) {
        destroyed_ = true;
        quit_ = true;
    }
    if (quit_) {
        return Message::Quit;
    }
    if (!pending) {
        RaiseOwedBlackWindows();
        return Message::QueueEmpty;
    }
    XEvent event;
    XNextEvent(display_, &event);
    HandleEvent(event);
    return quit_ ? Message::Quit : Message::Handled;
}

void RendererWindowX11::SwapBuffers() {
    glXSwapBuffers(display_, window_);
}

// On the connection's socket: an event, or the time given.
void RendererWindowX11::WaitForMessage(int64_t timeoutUs) {
    if (XPending(display_) > 0) {  // flushes our requests, and the queue may hold events
        return;
    }
    pollfd socket = {ConnectionNumber(display_), POLLIN, 0};
    const timespec timeout = {static_cast<time_t>(timeoutUs / 1000000),
                              static_cast<long>(timeoutUs % 1000000) * 1000};
    ppoll(&socket, 1, &timeout, nullptr);
}

// The displays' power is asked a few times a second at most: a round trip each time.
bool RendererWindowX11::FrameCanBeSeen() {
    const int64_t now = SteadyMicroseconds() / 1000;
    if (dpmsCapable_ && (asleepAskedMs_ < 0 || now - asleepAskedMs_ >= 200)) {
        asleep_ = DisplaysAsleepX11(display_);
        asleepAskedMs_ = now;
    }
    return !covered_ && !asleep_;
}

RendererWindowX11::~RendererWindowX11() {
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
}

void RendererWindowX11::TearDown() {
    monitors_.DestroyBlackWindows(*this);
    if (invisibleCursor_ != None) {
        XFreeCursor(display_, invisibleCursor_);
        invisibleCursor_ = None;
    }
    glXMakeCurrent(display_, None, nullptr);
    if (context_ != nullptr) {
        glXDestroyContext(display_, context_);
    }
    XCloseDisplay(display_);
    ExpectWindowLossX11(None, None, nullptr);
    display_ = nullptr;
    context_ = nullptr;
}

// Posts the close request to the window: it is acted on when the loop reaches it.
void RendererWindowX11::RequestClose() {
    SendDeleteWindowX11(display_, window_);
}

// The window procedure: what each event does.
void RendererWindowX11::HandleEvent(XEvent& event) {
    // A window wholly covered (a locker's dialog over it) gets no frames until it shows again.
    if (event.type == VisibilityNotify && event.xvisibility.window == window_) {
        covered_ = event.xvisibility.state == VisibilityFullyObscured;
        return;
    }
    if (host_ != None) {
        HandleHostEvent(event);
        return;
    }
    if (MonitorsChangedX11(event, DefaultRootWindow(display_), monitorChangeEvent_)) {
        if (!destroyed_) {
            FollowMonitors();
        }
        return;
    }
    if (monitors_.IsBlackWindow(event.xany.window)) {
        HandleBlackEvent(event);
        return;
    }
    if (event.xany.window != window_) {
        return;
    }
    switch (event.type) {
        case DestroyNotify:
            if (event.xdestroywindow.window == window_) {
                destroyed_ = true;
                quit_ = true;
            }
            return;
        case ClientMessage:
            // The close request, ours or the window manager's: its default handling destroys
            // the window, and with it goes the loop, as WM_DESTROY posts the quit message: no
            // frame is drawn into a destroyed window, and later requests are never handled.
            if (event.xclient.message_type == wmProtocols_ &&
                static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow_ && !destroyed_) {
                XErrorTrapX11 trap(display_);  // someone else may have destroyed it already
                XDestroyWindow(display_, window_);
                destroyed_ = true;
                quit_ = true;
            }
            return;
        case ConfigureNotify:
            // A window manager's full screen may give the window another size than asked for.
            FollowSize(event.xconfigure.width, event.xconfigure.height);
            return;
        default:
            JudgeInput(event);
            return;
    }
}

// A black window: input as on the animated window; another window put above it is outdone,
// paced so that one that raises itself as well is not fought without end.
void RendererWindowX11::HandleBlackEvent(XEvent& event) {
    if (event.type == VisibilityNotify) {
        const bool covered = event.xvisibility.state != VisibilityUnobscured;
        if (monitors_.BlackWindowCovered(event.xvisibility.window, covered,
                                         SteadyMicroseconds() / 1000)) {
            XRaiseWindow(display_, event.xvisibility.window);
        }
        return;
    }
    JudgeInput(event);
}

// The raises the pacing held back, once they are due.
void RendererWindowX11::RaiseOwedBlackWindows() {
    for (const uintptr_t window : monitors_.RaisesDue(SteadyMicroseconds() / 1000)) {
        XRaiseWindow(display_, static_cast<Window>(window));
    }
}

// Input on any window of ours, judged by the exit rules; a close goes to the animated window.
void RendererWindowX11::JudgeInput(XEvent& event) {
    RendererInput input;
    CursorPoint cursor = {0, 0};  // counts for moves only
    switch (event.type) {
        case KeyPress:
            input = TranslateKey(event.xkey);
            break;
        case ButtonPress:
        case ButtonRelease:
            input = ButtonInput(TranslateButton(event.xbutton.button), event.type == ButtonPress);
            break;
        case MotionNotify:
            input = RendererInput::MouseMove;
            cursor = {event.xmotion.x_root, event.xmotion.y_root};
            break;
        case EnterNotify:
            if (enterTellsPointer_ && monitors_.IsSaverWindow(event.xany.window, *settings_)) {
                start_.Heard(*settings_, {event.xcrossing.x_root, event.xcrossing.y_root});
            }
            return;
        default:
            return;
    }
    if (!destroyed_ && monitors_.IsSaverWindow(event.xany.window, *settings_) &&
        start_.Closes(input, *settings_, cursor)) {
        RequestClose();
    }
}

// In a host window only its size and its end matter: the daemon decides when the saver ends.
void RendererWindowX11::HandleHostEvent(XEvent& event) {
    if (event.xany.window != host_) {
        return;
    }
    if (event.type == DestroyNotify && event.xdestroywindow.window == host_) {
        destroyed_ = true;
        quit_ = true;
    } else if (event.type == ConfigureNotify) {
        FollowSize(event.xconfigure.width, event.xconfigure.height);
    }
}

// The scene (and our child in a host) takes a new size of the window it is drawn in.
void RendererWindowX11::FollowSize(int width, int height) {
    if (width == width_ && height == height_) {
        return;
    }
    width_ = width;
    height_ = height;
    if (ownsChild_) {
        XResizeWindow(display_, window_, width_, height_);
    }
    ResizeScene(width_, height_);
}

Window HostWindowFromEnvironment() {
    const char* text = std::getenv("XSCREENSAVER_WINDOW");
    if (text == nullptr || *text == '\0') {
        return None;
    }
    const std::optional<uint32_t> id = ParseWindowId(text);
    return id ? static_cast<Window>(*id) : None;
}

}  // namespace velmoria
