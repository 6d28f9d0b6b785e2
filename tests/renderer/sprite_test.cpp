// The particle sprite: loads with the bitmap loader and follows the glow's brightness profile.
#include <gtest/gtest.h>

#include <cmath>

#include "assets/particle_sprite.h"
#include "common/dib_loader.h"
#include "common/dib_software_converter.h"

namespace velmoria {
namespace {

struct Sprite {
    RgbImage* image;
    // Pixel (x, y) counted from the top-left; the image stores the bottom row first.
    const uint8_t* At(int x, int y) const {
        return image->pixels + ((kSpriteSide - 1 - y) * kSpriteSide + x) * 3;
    }
};

class SpriteTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bmp_ = MakeParticleSpriteBmp();
        SoftwareBgr24Converter converter;
        const DibLoadResult r = LoadDibFromMemory(bmp_.data(), bmp_.size(), converter);
        ASSERT_NE(r.image, nullptr) << DibStatusMessage(r.status);
        sprite_.image = r.image;
    }
    void TearDown() override { FreeRgbImage(sprite_.image); }
    std::vector<uint8_t> bmp_;
    Sprite sprite_{nullptr};
};

TEST_F(SpriteTest, IsA32By32PictureBrightestNearTheCentre) {
    EXPECT_EQ(sprite_.image->width, 32);
    EXPECT_EQ(sprite_.image->height, 32);
    const uint8_t* peak = sprite_.At(15, 15);
    EXPECT_EQ(peak[0], 255);
    EXPECT_EQ(peak[1], 252);
    EXPECT_EQ(peak[2], 249);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const uint8_t* p = sprite_.At(x, y);
            EXPECT_LE(p[0] + p[1] + p[2], 255 + 252 + 249) << x << "," << y;
            EXPECT_GE(p[0], p[2]);      // warm at most
            EXPECT_LE(p[0] - p[2], 7);  // and only faintly
        }
    }
    for (auto [x, y] : {std::pair{0, 0}, {31, 0}, {0, 31}, {31, 31}}) {
        const uint8_t* p = sprite_.At(x, y);
        EXPECT_LE(p[0] + p[1] + p[2], 3) << "corner " << x << "," << y;
    }
}

TEST_F(SpriteTest, MeanBrightnessFollowsTheProfile) {
    double sum[48] = {};
    int count[48] = {};
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const int d = static_cast<int>(std::lround(std::hypot(x - 15.0, y - 15.0)));
            const uint8_t* p = sprite_.At(x, y);
            sum[d] += (p[0] + p[1] + p[2]) / 3.0;
            ++count[d];
        }
    }
    for (int d = 0; d < 22; ++d) {
        const double mean = sum[d] / count[d];
        EXPECT_NEAR(mean, SpriteBrightnessAt(d), 8.0) << "distance " << d;
    }
    for (int d = 22; d < 48; ++d) {
        if (count[d] > 0) {
            EXPECT_LT(sum[d] / count[d], 1.0) << "distance " << d;
        }
    }
}

}  // namespace
}  // namespace velmoria
