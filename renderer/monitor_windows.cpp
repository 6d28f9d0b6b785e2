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

// What of `monitor` lies outside `animated`: up to four bands (above, below, then left and
// right of it between those), the whole monitor when they do not meet.
void AddUncovered(const ScreenRect& monitor, const ScreenRect& animated,
                  std::vector<ScreenRect>& pieces) {
    const int64_t left = monitor.x;
    const int64_t top = monitor.y;
    const int64_t right = left + monitor.width;
    const int64_t bottom = top + monitor.height;
    const int64_t cutLeft = std::max<int64_t>(left, animated.x);
    const int64_t cutTop = std::max<int64_t>(top, animated.y);
    const int64_t cutRight = std::min<int64_t>(right, int64_t{animated.x} + animated.width);
    const int64_t cutBottom = std::min<int64_t>(bottom, int64_t{animated.y} + animated.height);
    if (cutLeft >= cutRight || cutTop >= cutBottom) {
        pieces.push_back(monitor);
        return;
    }
    const auto add = [&](int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
        if (x0 < x1 && y0 < y1) {
            pieces.push_back({static_cast<int32_t>(x0), static_cast<int32_t>(y0),
                              static_cast<int32_t>(x1 - x0), static_cast<int32_t>(y1 - y0)});
        }
    };
    add(left, top, right, cutTop);
    add(left, cutBottom, right, bottom);
    add(left, cutTop, cutLeft, cutBottom);
    add(cutRight, cutTop, right, cutBottom);
}

}  // namespace

std::vector<ScreenRect> BlackWindowRects(const std::vector<ScreenRect>& monitors,
                                         const ScreenRect& animated) {
    std::vector<ScreenRect> pieces;
    for (const ScreenRect& monitor : monitors) {
        if (monitor.width > 0 && monitor.height > 0) {
            AddUncovered(monitor, animated, pieces);
        }
    }
    // A piece that another one already blacks out needs no window of its own (mirrored or
    // nested monitors); of identical pieces the first stays.
    std::vector<ScreenRect> rects;
    for (size_t i = 0; i < pieces.size(); ++i) {
        bool redundant = false;
        for (size_t j = 0; j < pieces.size() && !redundant; ++j) {
            redundant =
                j != i && Covers(pieces[j], pieces[i]) && (!(pieces[j] == pieces[i]) || j < i);
        }
        if (!redundant) {
            rects.push_back(pieces[i]);
        }
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
            windows_.push_back({rect, window, RaisePacer()});
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

bool MonitorWindows::BlackWindowCovered(uintptr_t window, bool covered, int64_t now) {
    for (BlackWindow& black : windows_) {
        if (black.window == window) {
            if (!covered) {
                black.pacer.Uncovered();
                return false;
            }
            return black.pacer.Covered(now);
        }
    }
    return false;
}

std::vector<uintptr_t> MonitorWindows::RaisesDue(int64_t now) {
    std::vector<uintptr_t> due;
    for (BlackWindow& black : windows_) {
        if (black.pacer.RaiseDue(now)) {
            due.push_back(black.window);
        }
    }
    return due;
}

bool RaisePacer::Covered(int64_t now) {
    if (!MayRaise(now)) {
        owed_ = true;
        return false;
    }
    raised_ = true;
    lastRaise_ = now;
    owed_ = false;
    return true;
}

bool RaisePacer::RaiseDue(int64_t now) {
    return owed_ && Covered(now);
}

}  // namespace velmoria
