// The monitors through RandR.
#include "renderer/x11/primary_monitor_x11.h"

#include <X11/extensions/Xrandr.h>

#include <cstring>

namespace velmoria {

namespace {

bool Usable(const MonitorRectX11& rect) {
    return rect.width > 0 && rect.height > 0;
}

bool HasMonitors(Display* display) {
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    return XRRQueryExtension(display, &eventBase, &errorBase) &&
           XRRQueryVersion(display, &major, &minor) && (major > 1 || minor >= 5);
}

// The primary output's CRTC (RandR 1.3).
MonitorRectX11 PrimaryOutputCrtc(Display* display, Window root) {
    MonitorRectX11 rect = {0, 0, 0, 0};
    const RROutput primary = XRRGetOutputPrimary(display, root);
    XRRScreenResources* resources =
        primary != None ? XRRGetScreenResourcesCurrent(display, root) : nullptr;
    if (resources == nullptr) {
        return rect;
    }
    if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, primary)) {
        if (output->crtc != None) {
            if (XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, output->crtc)) {
                rect = {crtc->x, crtc->y, static_cast<int>(crtc->width),
                        static_cast<int>(crtc->height)};
                XRRFreeCrtcInfo(crtc);
            }
        }
        XRRFreeOutputInfo(output);
    }
    XRRFreeScreenResources(resources);
    return rect;
}

}  // namespace

MonitorRectX11 PrimaryMonitorX11(Display* display, int screen) {
    const MonitorRectX11 whole = {0, 0, DisplayWidth(display, screen),
                                  DisplayHeight(display, screen)};
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor) || (major == 1 && minor < 3)) {
        return whole;
    }
    const Window root = RootWindow(display, screen);
    if (major > 1 || minor >= 5) {
        int count = 0;
        XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count);
        MonitorRectX11 primary = {0, 0, 0, 0};
        for (int i = 0; i < count; ++i) {
            if (monitors[i].primary) {
                primary = {monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height};
                break;
            }
        }
        if (monitors != nullptr) {
            XRRFreeMonitors(monitors);
        }
        if (Usable(primary)) {
            return primary;
        }
    }
    const MonitorRectX11 crtc = PrimaryOutputCrtc(display, root);
    return Usable(crtc) ? crtc : whole;
}

std::vector<MonitorRectX11> MonitorsX11(Display* display, int screen) {
    std::vector<MonitorRectX11> rects;
    if (!HasMonitors(display)) {
        return rects;
    }
    int count = 0;
    XRRMonitorInfo* monitors = XRRGetMonitors(display, RootWindow(display, screen), True, &count);
    for (int i = 0; i < count; ++i) {
        rects.push_back({monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
    }
    if (monitors != nullptr) {
        XRRFreeMonitors(monitors);
    }
    return rects;
}

int SelectMonitorChangesX11(Display* display, int screen) {
    const Window root = RootWindow(display, screen);
    XWindowAttributes attributes;
    const long rootEvents = XGetWindowAttributes(display, root, &attributes)
                                ? attributes.your_event_mask | StructureNotifyMask
                                : StructureNotifyMask;
    XSelectInput(display, root, rootEvents);
    int eventBase = 0;
    int errorBase = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) {
        return -1;
    }
    XRRSelectInput(display, root, RRScreenChangeNotifyMask);
    return eventBase + RRScreenChangeNotify;
}

bool MonitorsChangedX11(XEvent& event, Window root, int changeEventType) {
    if (changeEventType >= 0 && event.type == changeEventType) {
        XRRUpdateConfiguration(&event);  // Xlib's idea of the screen's size
        return true;
    }
    return event.type == ConfigureNotify && event.xconfigure.window == root;
}

bool ServerIsXWaylandX11(Display* display, int screen) {
    int opcode = 0, eventBase = 0, errorBase = 0;
    if (XQueryExtension(display, "XWAYLAND", &opcode, &eventBase, &errorBase)) {
        return true;
    }
    if (!XRRQueryExtension(display, &eventBase, &errorBase)) {
        return false;
    }
    XRRScreenResources* resources =
        XRRGetScreenResourcesCurrent(display, RootWindow(display, screen));
    if (resources == nullptr) {
        return false;
    }
    bool named = false;
    for (int i = 0; i < resources->noutput && !named; ++i) {
        if (XRROutputInfo* output = XRRGetOutputInfo(display, resources, resources->outputs[i])) {
            named = std::strncmp(output->name, "XWAYLAND", 8) == 0;
            XRRFreeOutputInfo(output);
        }
    }
    XRRFreeScreenResources(resources);
    return named;
}

}  // namespace velmoria
