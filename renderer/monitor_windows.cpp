// Which monitor gets which window, and keeping the black windows in step with the monitors.
#include "renderer/monitor_windows.h"

#include <algorithm>

namespace velmoria {

namespace {

// In 64 bits: a rectangle's far edge may lie beyond the 32-bit range.
bool Covers(const ScreenRect& outer, const ScreenRect& inner) {
    return inner.x >= outer.x && inner.y >= outer.y &&
           int64_t{inner.x} + inner.width <= int64_t{outer.x} + outer.width &&
           int64_t{inner.y} + inner.height <= int64_t{outer.y} + outer.height;
}

}  // namespace

std::vector<ScreenRect> BlackWindowRects(const std::vector<ScreenRect>& monitors,
                                         const ScreenRect& animated) {
    std::vector<ScreenRect> rects;
    for (const ScreenRect& monitor : monitors) {
        if (monitor.width <= 0 || monitor.height <= 0 || Covers(animated, monitor) ||
            std::find(rects.begin(), rects.end(), monitor) != rects.end()) {
            continue;
        }
        rects.push_back(monitor);
    }
    return rects;
}

int PrimaryOutputIndex(const std::vector<std::string>& names, const char* wanted) {
    if (wanted != nullptr && wanted[0] != '\0') {
        const auto found = std::find(names.begin(), names.end(), std::string(wanted));
        if (found != names.end()) {
            return static_cast<int>(found - names.begin());
        }
    }
    return names.empty() ? -1 : 0;
}

void MonitorWindows::Follow(const std::vector<ScreenRect>& monitors, const ScreenRect& animated,
                            BlackWindowMaker& maker) {
    const std::vector<ScreenRect> wanted = BlackWindowRects(monitors, animated);
    std::vector<BlackWindow> kept;
    for (const BlackWindow& black : windows_) {
        if (std::find(wanted.begin(), wanted.end(), black.rect) != wanted.end()) {
            kept.push_back(black);
        } else {
            maker.DestroyBlackWindow(black.window);
        }
    }
    windows_.clear();
    for (const ScreenRect& rect : wanted) {
        const auto found = std::find_if(
            kept.begin(), kept.end(), [&](const BlackWindow& black) { return black.rect == rect; });
        if (found != kept.end()) {
            windows_.push_back(*found);
        } else if (const uintptr_t window = maker.CreateBlackWindow(rect)) {
            windows_.push_back({rect, window});
        }
    }
}

void MonitorWindows::DestroyBlackWindows(BlackWindowMaker& maker) {
    for (const BlackWindow& black : windows_) {
        maker.DestroyBlackWindow(black.window);
    }
    windows_.clear();
}

bool MonitorWindows::IsBlackWindow(uintptr_t window) const {
    return window != 0 && std::any_of(windows_.begin(), windows_.end(),
                                      [&](const BlackWindow& b) { return b.window == window; });
}

}  // namespace velmoria
