// Frame pacing on a fake clock: at most the limit's frames a second, none while nothing can be
// seen, and never a message left waiting for a frame or for the pacing.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <vector>

#include "renderer/frame_pacer.h"
#include "renderer/renderer_program.h"

namespace velmoria {
namespace {

TEST(FrameLimitFromText, DecimalDigitsOnly) {
    struct Case {
        const char* text;
        int64_t limit;
    };
    const Case cases[] = {{"60", 60},
                          {"0", 0},
                          {"144", 144},
                          {"007", 7},
                          {"1000000", 1000000},
                          {"1000001", -1},
                          {"99999999999999999999", -1},
                          {"", -1},
                          {"-1", -1},
                          {"6O", -1},
                          {" 60", -1},
                          {"60 ", -1},
                          {"1e3", -1},
                          {nullptr, -1}};
    for (const Case& c : cases) {
        EXPECT_EQ(FrameLimitFromText(c.text), c.limit) << (c.text ? c.text : "(null)");
    }
}

// Each step asks the pacer at a time; it says draw, or how long to wait.
TEST(FramePacer, DecisionsOnAFakeClock) {
    struct Step {
        int64_t at;
        bool seen;
        bool draw;
        int64_t wait;  // when not drawing
    };
    struct Case {
        const char* name;
        uint32_t limit;
        std::vector<Step> steps;
    };
    const int64_t unseen = FramePacer::kUnseenRecheckUs;
    const Case cases[] = {
        {"no limit: always draw", 0, {{0, true, true, 0}, {1, true, true, 0}, {1, true, true, 0}}},
        {"60 a second: a frame every 16666 or 16667 us (60 in a second), the first at once",
         60,
         {{1000, true, true, 0},
          {1001, true, false, 16665},
          {17665, true, false, 1},
          {17666, true, true, 0},
          {17667, true, false, 16666}}},  // due at 34333: the remainder adds up
        {"a frame a little late keeps the spacing of the next",
         60,
         {{0, true, true, 0}, {20000, true, true, 0}, {20001, true, false, 13332}}},
        {"a whole period behind: the spacing starts anew, no burst",
         60,
         {{0, true, true, 0}, {50000, true, true, 0}, {50001, true, false, 16665}}},
        {"unseen: no frame, and a look again a few times a second",
         60,
         {{0, true, true, 0},
          {20000, false, false, unseen},
          {30000, false, false, unseen},
          {30001, true, true, 0},  // seen again: at once
          {30002, true, false, 16665}}},
        {"unseen without a limit", 0, {{0, false, false, unseen}, {5, true, true, 0}}},
        {"1000000 a second is as good as none", 1000000, {{0, true, true, 0}, {1, true, true, 0}}},
    };
    for (const Case& c : cases) {
        FramePacer pacer(c.limit);
        for (const Step& step : c.steps) {
            const FramePacer::Decision decision = pacer.Next(step.at, step.seen);
            EXPECT_EQ(decision.draw, step.draw) << c.name << " at " << step.at;
            if (!step.draw) {
                EXPECT_EQ(decision.waitUs, step.wait) << c.name << " at " << step.at;
            }
        }
    }
}

// A window whose messages arrive at set times on a fake clock; a frame costs 1 ms to draw.
class ScriptedWindow final : public RendererWindow {
  public:
    bool Create(SaverSettings&, int32_t&, int32_t&) override { return true; }
    void Show(int) override {}
    Message HandleNextMessage() override {
        if (arrivals.empty() || arrivals.front() > now) {
            return Message::QueueEmpty;
        }
        lateness.push_back(now - arrivals.front());
        arrivals.pop_front();
        return arrivals.empty() ? Message::Quit : Message::Handled;  // the last one quits
    }
    void SwapBuffers() override {
        swaps.push_back(now);
        now += 1000;
    }
    void WaitForMessage(int64_t timeoutUs) override {
        ++waits;
        ASSERT_GT(timeoutUs, 0);
        now = std::min(now + timeoutUs, arrivals.empty() ? now + timeoutUs : arrivals.front());
    }
    bool FrameCanBeSeen() override { return now < hiddenFrom || now >= hiddenUntil; }
    void TearDown() override {}

    int64_t now = 0;
    std::deque<int64_t> arrivals;
    std::vector<int64_t> lateness;  // how long each message waited to be handled
    std::vector<int64_t> swaps;
    int waits = 0;
    int64_t hiddenFrom = INT64_MAX;
    int64_t hiddenUntil = INT64_MAX;
};

TEST(FrameLoop, PacedFramesAndNoMessageKeptWaiting) {
    ScriptedWindow window;
    // Input now and then for two seconds (a burst too), the last message ends the loop; the
    // window is wholly covered from 1.2 s to 1.5 s, each change a message (VisibilityNotify).
    window.arrivals = {3000,    3100,    3200,    250000,  250001, 700123,
                       1200000, 1300000, 1500000, 1999999, 2000000};
    window.hiddenFrom = 1200000;
    window.hiddenUntil = 1500000;
    FramePacer pacer(60);
    RunFrameLoop(
        window, [] {}, pacer, [&] { return window.now; });
    EXPECT_EQ(window.arrivals.size(), 0u);
    for (const int64_t late : window.lateness) {
        EXPECT_LE(late, 1000) << "a message waited for more than the frame being drawn";
    }
    const auto framesBetween = [&](int64_t from, int64_t to) {
        return std::count_if(window.swaps.begin(), window.swaps.end(),
                             [&](int64_t t) { return t >= from && t < to; });
    };
    EXPECT_EQ(framesBetween(0, 1000000), 60);
    EXPECT_EQ(framesBetween(1200000 + 17000, 1500000), 0);  // the frame under way may finish
    EXPECT_GE(framesBetween(1500000, 1500000 + 1100), 1);   // at once when seen again
    EXPECT_EQ(framesBetween(1500000, 2000000), 30);
    // No busy waiting: a handful of waits per frame at the most (messages wake them early).
    EXPECT_LE(window.waits, static_cast<int>(window.swaps.size()) * 2 + 20);
}

TEST(FrameLoop, WithoutALimitEveryEmptyQueueDrawsAFrame) {
    ScriptedWindow window;
    window.arrivals = {500, 100000};
    FramePacer pacer(0);
    RunFrameLoop(
        window, [] {}, pacer, [&] { return window.now; });
    EXPECT_EQ(window.waits, 0);
    EXPECT_EQ(window.swaps.size(), 100u);  // one every millisecond, the cost of a frame
}

}  // namespace
}  // namespace velmoria
