// The renderer's windows over several monitors. The animated window stays where it is on one
// monitor (the primary); every other monitor gets a black window of the renderer, so that no
// monitor shows the desktop while the saver runs. Input on a black window is judged by the
// animated window's exit rules. The backends make and destroy the windows (BlackWindowMaker).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "renderer/input_rules.h"
#include "renderer/saver_settings.h"

namespace velmoria {

// A rectangle in screen pixels.
struct ScreenRect {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

inline bool operator==(const ScreenRect& a, const ScreenRect& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// Where black windows go: what of each monitor the animated window does not cover (a monitor
// beside it whole, one overlapping it in bands around it), so that no black window ever lies
// over the animation; a piece that another piece covers (mirrored or nested monitors) is left
// out, and so are empty monitors. In the order given.
std::vector<ScreenRect> BlackWindowRects(const std::vector<ScreenRect>& monitors,
                                         const ScreenRect& animated);

// Where outputs are announced one by one (Wayland): the index of the output that animates, the
// one named `wanted` (VELMORIA_OUTPUT; null or empty for none) when it is among `names`, else the
// first announced; -1 without outputs.
int PrimaryOutputIndex(const std::vector<std::string>& names, const char* wanted);

// What a backend does for the black windows.
class BlackWindowMaker {
  public:
    virtual ~BlackWindowMaker() = default;
    // A shown, black, borderless, topmost window over `rect`, without a pointer; 0 when it
    // cannot be made.
    virtual uintptr_t CreateBlackWindow(const ScreenRect& rect) = 0;
    virtual void DestroyBlackWindow(uintptr_t window) = 0;
};

// A window that raises itself when covered, paced so that it never fights another program that
// does the same (a locker's dialog, an on-screen display): at most one raise per interval; a
// cover that comes sooner is answered once the interval has passed, unless the window has been
// uncovered meanwhile. Times in milliseconds of a steady clock.
class RaisePacer {
  public:
    static constexpr int64_t kIntervalMs = 1000;
    // The window was covered at `now`: true when it is to be raised now.
    bool Covered(int64_t now);
    // The window is in view again: an owed raise is dropped.
    void Uncovered() { owed_ = false; }
    // True (once) when an owed raise is due at `now`.
    bool RaiseDue(int64_t now);

  private:
    bool MayRaise(int64_t now) const { return !raised_ || now - lastRaise_ >= kIntervalMs; }
    bool raised_ = false;
    int64_t lastRaise_ = 0;
    bool owed_ = false;
};

class MonitorWindows {
  public:
    struct BlackWindow {
        ScreenRect rect;
        uintptr_t window;
        RaisePacer pacer;
    };

    // Brings the black windows in line with the monitors now attached: a monitor that went
    // takes its window along, a new one gets one, the others keep theirs untouched. A window
    // that could not be made is tried again at the next call.
    void Follow(const std::vector<ScreenRect>& monitors, const ScreenRect& animated,
                BlackWindowMaker& maker);
    void DestroyBlackWindows(BlackWindowMaker& maker);

    bool IsBlackWindow(uintptr_t window) const;
    // The animated window (settings.hwnd) or one of the black windows.
    bool IsSaverWindow(uintptr_t window, const SaverSettings& settings) const {
        return window != 0 && (window == settings.hwnd || IsBlackWindow(window));
    }
    // True when `input` arriving at `window` must close the saver: on every window of ours
    // the animated window's rules, with `cursor` in screen coordinates, so the threshold is
    // measured from the start position whichever monitor the pointer is on. Input that reaches
    // another window counts for nothing.
    bool InputCloses(uintptr_t window, RendererInput input, const SaverSettings& settings,
                     CursorPoint cursor) const {
        return IsSaverWindow(window, settings) && RequestsClose(input, settings, cursor);
    }

    const std::vector<BlackWindow>& BlackWindows() const { return windows_; }
    // The black window `window` was covered (true) or came into view (false) at `now`: true
    // when it is to be raised now.
    bool BlackWindowCovered(uintptr_t window, bool covered, int64_t now);
    // The black windows whose owed raise is due at `now`.
    std::vector<uintptr_t> RaisesDue(int64_t now);

  private:
    std::vector<BlackWindow> windows_;
};

}  // namespace velmoria
