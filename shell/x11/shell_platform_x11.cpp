// The shell's platform on Linux.
#include "shell/x11/shell_platform_x11.h"

#include <X11/Xlib.h>
#include <X11/Xresource.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "common/x11/x11_support.h"
#include "shell/x11/forms_x11.h"
#include "shell/x11/window_search_x11.h"

namespace velmoria {

namespace {

void ReportXError(const char* line) {
    ShellPlatform::Current().WriteDiagnostic(line);
}

// The platform whose connection a lost-connection handler ends with.
ShellPlatformX11* connectionOwner = nullptr;

}  // namespace

ShellPlatformX11::ShellPlatformX11() = default;

ShellPlatformX11::ShellPlatformX11(Display* display) {
    if (display != nullptr) {
        displayTried_ = true;
        Adopt(display);
    }
}

ShellPlatformX11::~ShellPlatformX11() {
    forms_.reset();
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
    if (connectionOwner == this) {
        connectionOwner = nullptr;
    }
}

Display* ShellPlatformX11::ShellDisplay() {
    if (!displayTried_) {
        displayTried_ = true;
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            WriteDiagnostic("X11: cannot open the display");
        } else {
            Adopt(display);
        }
    }
    return display_;
}

void ShellPlatformX11::Adopt(Display* display) {
    display_ = display;
    InstallXErrorHandlerX11(ReportXError);
    connectionOwner = this;
    XSetIOErrorHandler(OnConnectionLost);
}

int ShellPlatformX11::OnConnectionLost(Display*) {
    // Xlib ends the program when this returns: the forms' unload (music stopped, cursor given
    // back) runs first, without the connection; then the process ends at once, without exit
    // handlers that would run in the middle of the Xlib or GStreamer call this interrupted.
    if (ShellPlatformX11* platform = connectionOwner; platform != nullptr && platform->forms_) {
        platform->forms_->ForgetDisplay();
        platform->forms_->CloseAllFromOutside();
    }
    _exit(0);
}

FormsX11* ShellPlatformX11::Forms() {
    if (forms_ == nullptr && ShellDisplay() != nullptr) {
        forms_ = std::make_unique<FormsX11>(display_);
    }
    return forms_.get();
}

bool ShellPlatformX11::TopLevelWindowExists(const char* title) {
    Display* display = ShellDisplay();
    FormsX11* forms = Forms();
    if (display == nullptr || forms == nullptr) {
        return false;
    }
    // A window found before is watched for its destruction: while it lives, no search.
    forms->HandlePending();
    if (const auto found = found_.find(title);
        found != found_.end() && forms->Watching(found->second)) {
        return true;
    }
    found_.erase(title);
    const Window window = FindTopLevelWindowX11(display, title);
    if (window == None) {
        return false;
    }
    if (forms->Watch(window)) {
        found_[title] = window;
    }
    return true;
}

bool ShellPlatformX11::IsWindow(WindowHandle window) {
    Display* display = ShellDisplay();
    if (display == nullptr || window == 0) {
        return false;
    }
    XErrorTrapX11 trap(display);
    XWindowAttributes attributes;
    return XGetWindowAttributes(display, static_cast<Window>(window), &attributes) != 0 &&
           !trap.Caught();
}

std::optional<PixelRect> ShellPlatformX11::WindowRectangle(WindowHandle window) {
    Display* display = ShellDisplay();
    if (display == nullptr || window == 0) {
        return std::nullopt;
    }
    XErrorTrapX11 trap(display);
    XWindowAttributes attributes;
    int x = 0;
    int y = 0;
    Window child = None;
    if (XGetWindowAttributes(display, static_cast<Window>(window), &attributes) == 0 ||
        !XTranslateCoordinates(display, static_cast<Window>(window), DefaultRootWindow(display),
                               -attributes.border_width, -attributes.border_width, &x, &y,
                               &child) ||
        trap.Caught()) {
        return std::nullopt;
    }
    const int border = 2 * attributes.border_width;
    return PixelRect{x, y, x + attributes.width + border, y + attributes.height + border};
}

WindowHandle ShellPlatformX11::CreateForm(const char* title, uint32_t background,
                                          FormEvents* events) {
    FormsX11* forms = Forms();
    return forms != nullptr ? forms->Create(title, background, events) : 0;
}

void ShellPlatformX11::ShowForm(WindowHandle form) {
    if (FormsX11* forms = Forms()) {
        forms->Show(static_cast<Window>(form));
    }
}

void ShellPlatformX11::SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) {
    if (FormsX11* forms = Forms()) {
        forms->SetTimer(static_cast<Window>(form), timer, intervalMs);
    }
}

void ShellPlatformX11::EndProgram() {
    if (FormsX11* forms = Forms()) {
        forms->EndProgram();
    }
}

void ShellPlatformX11::RunWhileWindowsLoaded() {
    if (FormsX11* forms = Forms()) {
        forms->RunWhileLoaded();
    }
}

int32_t ShellPlatformX11::SetParentWindow(WindowHandle form, WindowHandle parent) {
    FormsX11* forms = Forms();
    return forms != nullptr
               ? forms->Reparent(static_cast<Window>(form), static_cast<Window>(parent))
               : 0;
}

void ShellPlatformX11::MoveForm(WindowHandle form, int32_t x, int32_t y, int32_t width,
                                int32_t height) {
    if (FormsX11* forms = Forms()) {
        forms->Move(static_cast<Window>(form), x, y, width, height);
    }
}

void ShellPlatformX11::SetFormPicture(WindowHandle form, int32_t x, int32_t y, PixelImage picture) {
    if (FormsX11* forms = Forms()) {
        forms->SetPicture(static_cast<Window>(form), x, y, std::move(picture));
    }
}

double ShellPlatformX11::TwipsPerPixel() {
    double dpi = 96.0;
    Display* display = ShellDisplay();
    if (const char* resources = display != nullptr ? XResourceManagerString(display) : nullptr) {
        XrmInitialize();
        XrmDatabase database = XrmGetStringDatabase(resources);
        char* type = nullptr;
        XrmValue value;
        if (database != nullptr && XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) &&
            value.addr != nullptr) {
            const double read = std::atof(value.addr);
            dpi = read >= 24.0 && read <= 960.0 ? read : dpi;
        }
        if (database != nullptr) {
            XrmDestroyDatabase(database);
        }
    }
    return 1440.0 / dpi;
}

bool ShellPlatformX11::TakeMusicLock() {
    return TakeMusicLockFor(std::getenv("DISPLAY"));
}

bool ShellPlatformX11::CloseWindowTitled(const char* title) {
    const Window window = FindTopLevelWindowX11(ShellDisplay(), title);
    return window != None && CloseWindow(window);
}

bool ShellPlatformX11::CloseWindow(WindowHandle window) {
    Display* display = ShellDisplay();
    if (display == nullptr) {
        return false;
    }
    XErrorTrapX11 trap(display);
    SendDeleteWindowX11(display, static_cast<Window>(window));
    return !trap.Caught();
}

}  // namespace velmoria
