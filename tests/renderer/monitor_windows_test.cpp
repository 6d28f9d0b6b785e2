// Several monitors: which monitor gets a black window, how the black windows follow monitors
// coming and going, and how input on them is judged. The monitor lists stand in for
// EnumDisplayMonitors and RandR's monitors; the maker records what a backend would do.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "renderer/monitor_windows.h"

namespace velmoria {

void PrintTo(const ScreenRect& r, std::ostream* out) {
    *out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}

namespace {

const ScreenRect kPrimary = {0, 0, 1024, 768};
const ScreenRect kRight = {1024, 0, 800, 600};
const ScreenRect kLeft = {-1280, -200, 1280, 1024};

TEST(BlackWindowRects, EveryMonitorTheAnimatedWindowDoesNotCover) {
    struct Case {
        const char* name;
        std::vector<ScreenRect> monitors;
        ScreenRect animated;
        std::vector<ScreenRect> black;
    };
    const Case cases[] = {
        {"one monitor", {kPrimary}, kPrimary, {}},
        {"no monitor listed", {}, kPrimary, {}},
        {"a second monitor to the right", {kPrimary, kRight}, kPrimary, {kRight}},
        {"primary listed last", {kRight, kPrimary}, kPrimary, {kRight}},
        {"three, one left of the origin", {kLeft, kPrimary, kRight}, kPrimary, {kLeft, kRight}},
        {"a mirrored pair shares one window", {kPrimary, kRight, kRight}, kPrimary, {kRight}},
        {"a mirror of the primary needs none", {kPrimary, kPrimary, kRight}, kPrimary, {kRight}},
        {"the whole screen animated (no RandR primary)", {kPrimary, kRight}, {0, 0, 1824, 768}, {}},
        {"the primary on the right",
         {{0, 0, 512, 768}, {512, 0, 512, 768}},
         {512, 0, 512, 768},
         {{0, 0, 512, 768}}},
        // Overlapping monitors are blacked out only where the animation is not, so that no
        // black window ever hides it.
        {"overlapping the primary only in part",
         {kPrimary, {1000, 0, 800, 600}},
         kPrimary,
         {{1024, 0, 776, 600}}},
        {"a mirror of another size (a projector cloned from the primary)",
         {kPrimary, {0, 0, 1200, 600}},
         kPrimary,
         {{1024, 0, 176, 600}}},
        {"inside the primary", {kPrimary, {100, 100, 400, 300}}, kPrimary, {}},
        {"around the primary: a band below and one to the right",
         {kPrimary, {0, 0, 1824, 900}},
         kPrimary,
         {{0, 768, 1824, 132}, {1024, 0, 800, 768}}},
        {"over a corner of the primary",
         {kPrimary, {900, 700, 300, 200}},
         kPrimary,
         {{900, 768, 300, 132}, {1024, 700, 176, 68}}},
        {"nested in another black monitor",
         {kPrimary, {1100, 100, 200, 200}, kRight},
         kPrimary,
         {kRight}},
        {"empty monitors are left out",
         {kPrimary, {1024, 0, 0, 600}, {1024, 0, 800, -1}},
         kPrimary,
         {}},
        {"far edges past 32 bits",
         {kPrimary, {2147483000, 0, 2000, 10}},
         kPrimary,
         {{2147483000, 0, 2000, 10}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BlackWindowRects(c.monitors, c.animated), c.black) << c.name;
    }
}

// Covered at the times given (or uncovered, or only asked whether an owed raise is due), a
// black window is raised at most once a second, and owes a raise it could not make at once.
TEST(RaisePacer, AtMostOneRaiseASecondAndNoCoverLeftUnanswered) {
    enum What { Cover, Uncover, Poll };
    struct Step {
        int64_t at;
        What what;
        bool raised;
    };
    const Step steps[] = {
        {0, Poll, false},        // nothing owed
        {10, Cover, true},       // the first cover is answered at once
        {20, Cover, false},      // a self-raising program answers: owed
        {500, Poll, false},      //
        {1009, Poll, false},     //
        {1010, Poll, true},      // one interval after the last raise
        {1011, Poll, false},     // once
        {1500, Cover, false},    //
        {1600, Uncover, false},  // in view again: nothing owed any more
        {2600, Poll, false},     //
        {2600, Cover, true},     // long enough since the last raise
        {2601, Cover, false},    //
        {3601, Cover, true},     // a cover that comes when a raise is allowed is answered at once
        {3602, Poll, false},     //
    };
    RaisePacer pacer;
    for (const Step& step : steps) {
        bool raised = false;
        if (step.what == Cover) {
            raised = pacer.Covered(step.at);
        } else if (step.what == Uncover) {
            pacer.Uncovered();
        } else {
            raised = pacer.RaiseDue(step.at);
        }
        EXPECT_EQ(raised, step.raised) << "at " << step.at;
    }
    // Fought every millisecond for 5 s, a window is raised at most once a second.
    RaisePacer fought;
    int raises = 0;
    for (int64_t now = 0; now < 5000; ++now) {
        raises += fought.Covered(now) ? 1 : 0;
        raises += fought.RaiseDue(now) ? 1 : 0;
    }
    EXPECT_EQ(raises, 5);
}

// Records the windows a backend would make: handles from 1, the live ones by handle.
class RecordingMaker final : public BlackWindowMaker {
  public:
    uintptr_t CreateBlackWindow(const ScreenRect& rect) override {
        ++created;
        if (failNext) {
            failNext = false;
            return 0;
        }
        live[next] = rect;
        return next++;
    }
    void DestroyBlackWindow(uintptr_t window) override {
        ++destroyed;
        EXPECT_EQ(live.erase(window), 1u) << "destroyed a window that was not live: " << window;
    }
    std::vector<ScreenRect> LiveRects() const {
        std::vector<ScreenRect> rects;
        for (const auto& entry : live) {
            rects.push_back(entry.second);
        }
        return rects;
    }

    std::map<uintptr_t, ScreenRect> live;
    uintptr_t next = 1;
    int created = 0;
    int destroyed = 0;
    bool failNext = false;
};

TEST(MonitorWindowsFollow, MonitorsAddedRemovedAndMovedWhileTheSaverRuns) {
    RecordingMaker maker;
    MonitorWindows windows;
    windows.Follow({kPrimary, kRight}, kPrimary, maker);
    ASSERT_EQ(maker.LiveRects(), std::vector<ScreenRect>{kRight});
    const uintptr_t right = windows.BlackWindows().at(0).window;

    // A monitor added: the new one is covered, the old window stays as it was.
    windows.Follow({kLeft, kPrimary, kRight}, kPrimary, maker);
    EXPECT_EQ(maker.created, 2);
    EXPECT_EQ(maker.destroyed, 0);
    EXPECT_EQ(maker.live.size(), 2u);
    EXPECT_TRUE(windows.IsBlackWindow(right));

    // The same list again changes nothing.
    windows.Follow({kLeft, kPrimary, kRight}, kPrimary, maker);
    EXPECT_EQ(maker.created, 2);
    EXPECT_EQ(maker.destroyed, 0);

    // A monitor removed takes its window along.
    windows.Follow({kLeft, kPrimary}, kPrimary, maker);
    EXPECT_EQ(maker.LiveRects(), std::vector<ScreenRect>{kLeft});
    EXPECT_FALSE(windows.IsBlackWindow(right));

    // A monitor moved: its window is made anew at the new place.
    const ScreenRect moved = {-1280, 0, 1280, 1024};
    windows.Follow({moved, kPrimary}, kPrimary, maker);
    EXPECT_EQ(maker.LiveRects(), std::vector<ScreenRect>{moved});
    ASSERT_EQ(windows.BlackWindows().size(), 1u);
    EXPECT_EQ(windows.BlackWindows()[0].rect, moved);

    // Back to one monitor, then the end: nothing is left.
    windows.Follow({kPrimary}, kPrimary, maker);
    EXPECT_TRUE(maker.live.empty());
    windows.Follow({kPrimary, kRight}, kPrimary, maker);
    windows.DestroyBlackWindows(maker);
    EXPECT_TRUE(maker.live.empty());
    EXPECT_TRUE(windows.BlackWindows().empty());
    EXPECT_EQ(maker.created, maker.destroyed);
}

TEST(MonitorWindowsFollow, AWindowThatCouldNotBeMadeIsTriedAgain) {
    RecordingMaker maker;
    MonitorWindows windows;
    maker.failNext = true;
    windows.Follow({kPrimary, kRight}, kPrimary, maker);
    EXPECT_TRUE(windows.BlackWindows().empty());
    windows.Follow({kPrimary, kRight}, kPrimary, maker);
    EXPECT_EQ(maker.LiveRects(), std::vector<ScreenRect>{kRight});
    EXPECT_EQ(windows.BlackWindows().size(), 1u);
}

TEST(MonitorWindowsFollow, EachBlackWindowIsPacedOnItsOwn) {
    RecordingMaker maker;
    MonitorWindows windows;
    windows.Follow({kLeft, kPrimary, kRight}, kPrimary, maker);
    const uintptr_t left = windows.BlackWindows().at(0).window;
    const uintptr_t right = windows.BlackWindows().at(1).window;
    EXPECT_TRUE(windows.BlackWindowCovered(left, true, 0));
    EXPECT_TRUE(windows.BlackWindowCovered(right, true, 1));
    EXPECT_FALSE(windows.BlackWindowCovered(left, true, 2));
    EXPECT_FALSE(windows.BlackWindowCovered(777, true, 3));  // not ours
    EXPECT_TRUE(windows.RaisesDue(999).empty());
    EXPECT_EQ(windows.RaisesDue(1000), std::vector<uintptr_t>{left});
    EXPECT_TRUE(windows.RaisesDue(2000).empty());
}

// The animated window on the primary monitor, a black one on the right; the pointer started in
// the middle of the primary monitor.
TEST(MonitorWindowsInput, BlackWindowsCloseByTheAnimatedWindowsRules) {
    RecordingMaker maker;
    MonitorWindows windows;
    windows.Follow({kPrimary, kRight}, kPrimary, maker);
    SaverSettings settings;
    settings.hwnd = 500;
    settings.mouseThreshold = 50;
    settings.startCursor = {1000, 300};
    const uintptr_t animated = settings.hwnd;
    const uintptr_t black = windows.BlackWindows().at(0).window;
    const uintptr_t other = 777;  // some other program's window
    struct Case {
        uintptr_t window;
        RendererInput input;
        CursorPoint cursor;
        bool closes;
    };
    const Case cases[] = {
        {black, RendererInput::KeyDown, {1100, 300}, true},
        {black, RendererInput::ButtonDown, {1100, 300}, true},
        {black, RendererInput::SystemKeyDown, {1100, 300}, false},
        {black, RendererInput::OtherButtonDown, {1100, 300}, false},
        {black, RendererInput::ButtonUp, {1100, 300}, false},
        // The threshold in screen coordinates: 40 pixels into the second monitor is 64 from the
        // start on x, and 1050 is exactly 50.
        {black, RendererInput::MouseMove, {1064, 300}, true},
        {black, RendererInput::MouseMove, {1050, 300}, false},
        {black, RendererInput::MouseMove, {1050, 350}, false},
        {black, RendererInput::MouseMove, {1050, 351}, true},
        {animated, RendererInput::MouseMove, {1051, 300}, true},
        {animated, RendererInput::KeyDown, {0, 0}, true},
        {other, RendererInput::KeyDown, {1100, 300}, false},
        {other, RendererInput::MouseMove, {1800, 500}, false},
        {0, RendererInput::ButtonDown, {0, 0}, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(windows.InputCloses(c.window, c.input, settings, c.cursor), c.closes)
            << "window " << c.window << ", input " << static_cast<int>(c.input) << " at "
            << c.cursor.x << "," << c.cursor.y;
    }
    // Once its monitor has gone, a black window's late input counts for nothing.
    windows.Follow({kPrimary}, kPrimary, maker);
    EXPECT_FALSE(windows.InputCloses(black, RendererInput::KeyDown, settings, {0, 0}));
}

}  // namespace
}  // namespace velmoria
