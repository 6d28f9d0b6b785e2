// The renderer's exit rules: which input closes the window.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "renderer/input_rules.h"

namespace velmoria {
namespace {

SaverSettings WithThreshold(int32_t threshold, CursorPoint start = {500, 400}) {
    SaverSettings settings;
    settings.mouseThreshold = threshold;
    settings.startCursor = start;
    return settings;
}

TEST(MouseThreshold, EachAxisIsJudgedAloneAndStrictly) {
    const SaverSettings settings = WithThreshold(50);
    EXPECT_FALSE(MovedPastThreshold(settings, {500, 400}));
    EXPECT_FALSE(MovedPastThreshold(settings, {550, 400}));
    EXPECT_FALSE(MovedPastThreshold(settings, {450, 400}));
    EXPECT_FALSE(MovedPastThreshold(settings, {500, 350}));
    EXPECT_FALSE(MovedPastThreshold(settings, {500, 450}));
    EXPECT_TRUE(MovedPastThreshold(settings, {551, 400}));
    EXPECT_TRUE(MovedPastThreshold(settings, {449, 400}));
    EXPECT_TRUE(MovedPastThreshold(settings, {500, 349}));
    EXPECT_TRUE(MovedPastThreshold(settings, {500, 451}));
    // About 57 pixels in a straight line, but only 40 on each axis.
    EXPECT_FALSE(MovedPastThreshold(settings, {540, 440}));
    EXPECT_FALSE(MovedPastThreshold(settings, {450, 350}));
}

TEST(MouseThreshold, TheReferenceIsTheStartNotThePreviousPosition) {
    const SaverSettings settings = WithThreshold(50);
    int32_t x = 500;
    int moves = 0;
    while (!MovedPastThreshold(settings, {x, 400})) {
        x += 3;  // each step far below the threshold
        ++moves;
    }
    EXPECT_EQ(x, 551);
    EXPECT_EQ(moves, 17);
}

TEST(MouseThreshold, ZeroNegativeAndHugeThresholds) {
    EXPECT_FALSE(MovedPastThreshold(WithThreshold(0), {500, 400}));
    EXPECT_TRUE(MovedPastThreshold(WithThreshold(0), {501, 400}));
    EXPECT_TRUE(MovedPastThreshold(WithThreshold(0), {500, 399}));
    // A negative threshold: any mouse move closes, even one that did not move.
    EXPECT_TRUE(MovedPastThreshold(WithThreshold(-1), {500, 400}));
    // "50" stored as a string reads as 12341.
    EXPECT_FALSE(MovedPastThreshold(WithThreshold(12341), {500 + 12341, 400}));
    EXPECT_TRUE(MovedPastThreshold(WithThreshold(12341), {500 + 12342, 400}));
    // Coordinates at the ends of the 32-bit range do not overflow the distance.
    EXPECT_TRUE(MovedPastThreshold(WithThreshold(INT_MAX, {INT_MIN, 0}), {INT_MAX, 0}));
    EXPECT_FALSE(MovedPastThreshold(WithThreshold(INT_MAX, {0, 0}), {INT_MAX, INT_MIN + 1}));
}

TEST(CloseRequests, KeysAndTheThreeButtonsCloseOtherInputDoesNot) {
    const SaverSettings settings = WithThreshold(50);
    const CursorPoint still = settings.startCursor;
    EXPECT_TRUE(RequestsClose(RendererInput::KeyDown, settings, still));
    EXPECT_TRUE(RequestsClose(RendererInput::ButtonDown, settings, still));
    EXPECT_FALSE(RequestsClose(RendererInput::SystemKeyDown, settings, still));
    EXPECT_FALSE(RequestsClose(RendererInput::OtherButtonDown, settings, still));
    EXPECT_FALSE(RequestsClose(RendererInput::ButtonUp, settings, still));
    EXPECT_FALSE(RequestsClose(RendererInput::MouseMove, settings, still));
    EXPECT_TRUE(RequestsClose(RendererInput::MouseMove, settings, {still.x + 51, still.y}));
    // Only a mouse move looks at the cursor.
    EXPECT_FALSE(RequestsClose(RendererInput::ButtonUp, settings, {still.x + 999, still.y}));
}

// Both Linux backends pass the keysym and whether Alt is held; Windows tells the same apart by
// WM_SYSKEYDOWN.
TEST(CloseRequests, AltMetaF10AndAltHeldKeysAreTheSystems) {
    struct Case {
        const char* name;
        uint32_t keysym;
        bool altHeld;
        RendererInput input;
    };
    const Case cases[] = {
        {"left Alt", 0xffe9, false, RendererInput::SystemKeyDown},
        {"right Alt", 0xffea, false, RendererInput::SystemKeyDown},
        {"left Meta", 0xffe7, false, RendererInput::SystemKeyDown},
        {"right Meta", 0xffe8, false, RendererInput::SystemKeyDown},
        {"F10", 0xffc7, false, RendererInput::SystemKeyDown},
        {"a with Alt held", 0x61, true, RendererInput::SystemKeyDown},
        {"Escape with Alt held", 0xff1b, true, RendererInput::SystemKeyDown},
        {"no keysym with Alt held", 0, true, RendererInput::SystemKeyDown},
        {"a", 0x61, false, RendererInput::KeyDown},
        {"Escape", 0xff1b, false, RendererInput::KeyDown},
        {"F9", 0xffc6, false, RendererInput::KeyDown},
        {"F11", 0xffc8, false, RendererInput::KeyDown},
        {"left Shift", 0xffe1, false, RendererInput::KeyDown},
        {"left Control", 0xffe3, false, RendererInput::KeyDown},
        {"left Super", 0xffeb, false, RendererInput::KeyDown},
        {"AltGr (ISO_Level3_Shift)", 0xfe03, false, RendererInput::KeyDown},
        {"no keysym (no keymap)", 0, false, RendererInput::KeyDown},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeyPressInput(c.keysym, c.altHeld), c.input) << c.name;
    }
}

TEST(CloseRequests, ThreeButtonsPressOthersDoNotAnyReleaseIsUp) {
    struct Case {
        PointerButton button;
        bool pressed;
        RendererInput input;
    };
    const Case cases[] = {
        {PointerButton::Left, true, RendererInput::ButtonDown},
        {PointerButton::Middle, true, RendererInput::ButtonDown},
        {PointerButton::Right, true, RendererInput::ButtonDown},
        {PointerButton::Other, true, RendererInput::OtherButtonDown},
        {PointerButton::Left, false, RendererInput::ButtonUp},
        {PointerButton::Middle, false, RendererInput::ButtonUp},
        {PointerButton::Right, false, RendererInput::ButtonUp},
        {PointerButton::Other, false, RendererInput::ButtonUp},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ButtonInput(c.button, c.pressed), c.input)
            << static_cast<int>(c.button) << " " << c.pressed;
    }
}

// Wayland tells the pointer's position only with events over our surfaces, and XWayland may not
// know it when our window is made: the first one heard (an enter or a move) is the start, so a
// pointer resting where the windows appear closes nothing, and a later enter moves nothing.
TEST(LateStartCursor, TheFirstPositionHeardIsTheStart) {
    struct Step {
        bool enter;  // entered one of our windows there, else moved there
        CursorPoint at;
    };
    struct Case {
        const char* name;
        int32_t threshold;
        std::vector<Step> steps;  // the last one is judged when it is a move
        bool closes;
    };
    const Case cases[] = {
        {"first position, far from the old start", 50, {{false, {900, 700}}}, false},
        {"50 from the first on one axis", 50, {{false, {900, 700}}, {false, {950, 700}}}, false},
        {"51 from the first", 50, {{false, {900, 700}}, {false, {900, 649}}}, true},
        {"drift from the first adds up",
         50,
         {{false, {10, 10}}, {false, {40, 10}}, {false, {61, 10}}},
         true},
        {"diagonal of 40 on each axis", 50, {{false, {10, 10}}, {false, {50, 50}}}, false},
        {"negative threshold closes on the first", -1, {{false, {900, 700}}}, true},
        {"zero threshold, one pixel", 0, {{false, {5, 5}}, {false, {5, 6}}}, true},
        {"a nudge of 10 after entering far away",
         50,
         {{true, {216, 166}}, {false, {226, 166}}},
         false},
        {"51 from where it entered", 50, {{true, {216, 166}}, {false, {216, 217}}}, true},
        {"a later enter moves nothing",
         50,
         {{true, {216, 166}}, {true, {600, 400}}, {false, {600, 400}}},
         true},
        {"an enter after the first move moves nothing",
         50,
         {{false, {10, 10}}, {true, {100, 10}}, {false, {61, 10}}},
         true},
    };
    for (const Case& c : cases) {
        SaverSettings settings = WithThreshold(c.threshold, {512, 384});
        LateStartCursor start;
        bool closed = false;
        for (const Step& step : c.steps) {
            if (step.enter) {
                start.Heard(settings, step.at);
            } else {
                closed = start.Closes(RendererInput::MouseMove, settings, step.at);
            }
        }
        EXPECT_EQ(closed, c.closes) << c.name;
        EXPECT_TRUE(start.Known()) << c.name;
        EXPECT_EQ(settings.startCursor.x, c.steps.front().at.x) << c.name;
        EXPECT_EQ(settings.startCursor.y, c.steps.front().at.y) << c.name;
    }
}

TEST(LateStartCursor, KeysAndButtonsNeitherNeedNorSetTheStart) {
    SaverSettings settings = WithThreshold(50, {0, 0});
    LateStartCursor start;
    EXPECT_FALSE(start.Closes(RendererInput::SystemKeyDown, settings, {0, 0}));
    EXPECT_FALSE(start.Closes(RendererInput::ButtonUp, settings, {400, 400}));
    EXPECT_FALSE(start.Known());
    EXPECT_TRUE(start.Closes(RendererInput::KeyDown, settings, {0, 0}));
    EXPECT_TRUE(start.Closes(RendererInput::ButtonDown, settings, {0, 0}));
    EXPECT_FALSE(start.Known());
    // The first move after them is still the start.
    EXPECT_FALSE(start.Closes(RendererInput::MouseMove, settings, {300, 300}));
    EXPECT_TRUE(start.Known());
}

}  // namespace
}  // namespace velmoria
