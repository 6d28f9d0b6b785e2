// The preview: its twips geometry at 96 and 120 dots per inch with the 16-bit overflow rule, the
// set-up's steps in order against a recording platform, the still it carries, and the scaling
// that stretches the still over the host.
#include "shell/forms/preview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/forms/image_scale.h"
#include "tests/support/fake_shell_platform.h"

namespace velmoria {
namespace {

constexpr WindowHandle kHost = 77;

class PreviewTest : public ::testing::Test {
  protected:
    void SetUp() override { PreviewLeft = PreviewTop = PreviewWidth = PreviewHeight = 0; }
    // Starts a preview in a host of width x height pixels at (300, 200) on the screen.
    const test::FakeShellPlatform::Form* Start(int32_t width, int32_t height, double twips) {
        shell_.hostRects[kHost] = PixelRect{300, 200, 300 + width, 200 + height};
        shell_.twipsX = shell_.twipsY = twips;
        preview_.Start(static_cast<int32_t>(kHost));
        return shell_.FormTitled("Preview Window");
    }

    test::FakeShellPlatform shell_;
    test::ConnectedShellPlatform connected_{shell_};
    PreviewForm preview_;
};

TEST(PixelsToTwips, RoundsHalvesToEvenAndRefusesWhatOverflows) {
    struct Case {
        int32_t pixels;
        double twips;
        int32_t expected;  // -1: does not fit
    };
    const Case cases[] = {
        {152, 15.0, 2280},
        {112, 15.0, 1680},
        {152, 12.0, 1824},
        {112, 12.0, 1344},
        {100, 1440.0 / 110, 1309},
        {1, 12.5, 12},
        {3, 12.5, 38},
        {5, 12.5, 62},
        {2184, 15.0, 32760},
        {2185, 15.0, -1},
        {2730, 12.0, 32760},
        {2731, 12.0, -1},
        {0, 15.0, 0},
    };
    for (const Case& c : cases) {
        const std::optional<int16_t> twips = PixelsToTwips(c.pixels, c.twips);
        if (c.expected < 0) {
            EXPECT_FALSE(twips.has_value()) << c.pixels << " at " << c.twips;
        } else {
            EXPECT_EQ(twips, std::optional<int16_t>(static_cast<int16_t>(c.expected)))
                << c.pixels << " at " << c.twips;
        }
    }
}

TEST_F(PreviewTest, CoversTheHostExactlyAt96And120DotsPerInch) {
    for (const double twips : {15.0, 12.0}) {
        for (const auto& [width, height] : {std::pair{152, 112}, std::pair{300, 200}}) {
            SetUp();
            shell_.forms.clear();
            shell_.calls.clear();
            const test::FakeShellPlatform::Form* form = Start(width, height, twips);
            ASSERT_NE(form, nullptr);
            EXPECT_EQ(PreviewWidth, width * twips);
            EXPECT_EQ(PreviewHeight, height * twips);
            EXPECT_EQ(form->placed.left, 0);
            EXPECT_EQ(form->placed.top, 0);
            EXPECT_EQ(form->placed.right, width);
            EXPECT_EQ(form->placed.bottom, height);
            EXPECT_EQ(form->picture.width, width);
            EXPECT_EQ(form->picture.height, height);
            EXPECT_EQ(form->pictureX, 0);
            EXPECT_EQ(form->pictureY, 0);
        }
    }
}

TEST_F(PreviewTest, StepsInTheirOrder) {
    const test::FakeShellPlatform::Form* form = Start(152, 112, 15.0);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(shell_.calls, (std::vector<std::string>{"CreateForm Preview Window", "AddChildStyle",
                                                      "SetParentWindow", "MoveForm",
                                                      "SetFormPicture", "ShowForm"}));
    EXPECT_EQ(form->background, 0xC0C0C0u);
    EXPECT_TRUE(form->childStyle);
    EXPECT_EQ(form->parent, kHost);
    EXPECT_TRUE(form->shown);
    EXPECT_TRUE(form->timers.empty());
    // Nothing else of the shell: no folder, no music, no program.
    EXPECT_TRUE(shell_.folders.empty());
    EXPECT_TRUE(shell_.programs.started.empty());
}

// A side of more than 32767 twips stays 0: the preview is invisible in that direction only.
TEST_F(PreviewTest, ASideTooLargeFor16BitsStaysZero) {
    const test::FakeShellPlatform::Form* form = Start(2185, 100, 15.0);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(PreviewWidth, 0);
    EXPECT_EQ(PreviewHeight, 1500);
    EXPECT_EQ(form->placed.right - form->placed.left, 0);
    EXPECT_EQ(form->placed.bottom - form->placed.top, 100);
    EXPECT_EQ(form->picture.width, 0);
    EXPECT_TRUE(form->shown);
}

// A host that is no window (0 among them) loads nothing: the program ends at once.
TEST_F(PreviewTest, AHostThatIsNoWindowLoadsNothing) {
    shell_.hostRects[kHost] = PixelRect{0, 0, 152, 112};
    for (const int32_t host : {0, 78, -1}) {
        preview_.Start(host);
        EXPECT_TRUE(shell_.forms.empty()) << host;
        EXPECT_TRUE(shell_.calls.empty()) << host;
    }
}

// A host that goes between the first look and SetParent: nothing would close the preview.
TEST_F(PreviewTest, AHostGoneBeforeSetParentEndsTheProgram) {
    shell_.hostGoesAtSetParent = true;
    const test::FakeShellPlatform::Form* form = Start(152, 112, 15.0);
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(shell_.ended, 1);
    EXPECT_FALSE(form->shown);
}

// The still the programs carry: 152 x 112, a blue arc and an orange one over black.
TEST(PreviewStill, BlueAndOrangeOnBlack) {
    const PixelImage still = PreviewStill();
    ASSERT_EQ(still.width, 152);
    ASSERT_EQ(still.height, 112);
    int blue = 0;
    int orange = 0;
    int black = 0;
    for (size_t i = 0; i + 2 < still.rgb.size(); i += 3) {
        const int r = still.rgb[i], g = still.rgb[i + 1], b = still.rgb[i + 2];
        blue += b > 150 && b > r + 40;
        orange += r > 90 && r > b + 40 && g > b;
        black += r + g + b == 0;
    }
    EXPECT_GT(blue, 40);
    EXPECT_GT(orange, 20);
    EXPECT_GT(black, 152 * 112 / 4);
    // The top-left corner is black.
    EXPECT_EQ(still.rgb[0] + still.rgb[1] + still.rgb[2], 0);
}

TEST(ScaleImage, AveragesWhenShrinkingAndInterpolatesWhenEnlarging) {
    PixelImage two;  // 2 x 1: black and white
    two.width = 2;
    two.height = 1;
    two.rgb = {0, 0, 0, 255, 255, 255};
    const PixelImage one = ScaleImage(two, 1, 1);
    ASSERT_EQ(one.rgb.size(), 3u);
    EXPECT_EQ(one.rgb[0], 128);
    const PixelImage wide = ScaleImage(two, 4, 1);
    EXPECT_EQ(wide.rgb, (std::vector<uint8_t>{0, 0, 0, 64, 64, 64, 191, 191, 191, 255, 255, 255}));
    const PixelImage same = ScaleImage(two, 2, 1);
    EXPECT_EQ(same.rgb, two.rgb);
    const PixelImage tall = ScaleImage(two, 2, 3);
    EXPECT_EQ(tall.height, 3);
    EXPECT_EQ(std::vector<uint8_t>(tall.rgb.end() - 6, tall.rgb.end()), two.rgb);
    EXPECT_TRUE(ScaleImage(two, 0, 5).rgb.empty());
    // Shrinking 4:1 averages each block.
    const PixelImage still = PreviewStill();
    const PixelImage small = ScaleImage(still, 38, 28);
    long sum = 0;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            sum += still.rgb[(static_cast<size_t>(y + 40) * 152 + x + 80) * 3 + 2];
        }
    }
    EXPECT_NEAR(small.rgb[(10 * 38 + 20) * 3 + 2], sum / 16.0, 1.0);
}

}  // namespace
}  // namespace velmoria
