// The renderer's exit rules: which input closes the window.
#include <gtest/gtest.h>

#include <climits>

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

}  // namespace
}  // namespace velmoria
