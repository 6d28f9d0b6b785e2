// The six state pictures: every ring's colours at the middle of each edge, the shades down the
// sides, and the rounded corners' blended pixels.
#include "assets/button_pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace velmoria {
namespace {

struct RingColours {
    uint32_t top;
    uint32_t bottom;
    uint32_t leftTop;     // a side's shade from its top ...
    uint32_t leftBottom;  // ... to its bottom
    uint32_t rightTop;
    uint32_t rightBottom;
};

constexpr RingColours Flat(uint32_t c) {
    return {c, c, c, c, c, c};
}
constexpr RingColours kOuterLight = {0xDCD6C2, 0xFAFAF6, 0xE2DECB, 0xE2DECB, 0xF0EEE0, 0xF0EEE0};

struct PictureCase {
    ButtonLook look;
    RingColours rings[4];
};

const PictureCase kCases[] = {
    {ButtonLook::Normal,
     {kOuterLight,
      Flat(0x003C74),
      {0xF3F3EE, 0xD6D0C5, 0xFDFDFC, 0xECEBE6, 0xF6F4F2, 0xE0DDD4},
      {0xF3F3EE, 0xE2DFD6, 0xFDFDFC, 0xEBEBE5, 0xFBFBFA, 0xE4E2DA}}},
    {ButtonLook::HighLight,
     {kOuterLight,
      Flat(0x003C74),
      {0xFFF0CF, 0xE59700, 0xFEDF9A, 0xF9B435, 0xFDE09B, 0xF8B435},
      {0xFDD889, 0xF8B330, 0xFCD279, 0xF8B535, 0xFCD279, 0xF8B535}}},
    {ButtonLook::HighLightSelect,
     {kOuterLight,
      Flat(0x003C74),
      {0xFFF0CF, 0xE59700, 0xFEDF9A, 0xF9B435, 0xFDE09B, 0xF8B435},
      {0xFDD889, 0xF8B330, 0xFCD279, 0xF8B535, 0xFCD279, 0xF8B535}}},
    {ButtonLook::Selected,
     {kOuterLight,
      Flat(0x003C74),
      {0xCEE7FF, 0x6982EE, 0xB7D0F4, 0x8BADE4, 0xB1CCF2, 0x8BAFE5},
      {0xCEE7FF, 0x6982EE, 0xB8D1F4, 0x8BADE4, 0xB1CCF2, 0x8BAFE5}}},
    {ButtonLook::Pressed,
     {Flat(0xECE9D8),
      kOuterLight,
      Flat(0x003C74),
      {0xD1CCC1, 0xF2F1EE, 0xD9D6CD, 0xD7D3CA, 0xE5E5DE, 0xE3E2DB}}},
    {ButtonLook::Disable, {Flat(0xECE9D8), Flat(0xC9C7BA), Flat(0xF5F4EA), Flat(0xF5F4EA)}},
};

int FrameRing(ButtonLook look) {
    return look == ButtonLook::Pressed ? 2 : 1;
}

// Each channel of a shade's middle lies between its two ends.
bool Between(uint32_t value, uint32_t a, uint32_t b) {
    for (int shift = 0; shift <= 16; shift += 8) {
        const uint32_t v = (value >> shift) & 0xFF;
        const uint32_t lo = std::min((a >> shift) & 0xFF, (b >> shift) & 0xFF);
        const uint32_t hi = std::max((a >> shift) & 0xFF, (b >> shift) & 0xFF);
        if (v < lo || v > hi) {
            return false;
        }
    }
    return true;
}

TEST(ButtonPictures, EveryRingHasItsColoursAlongEveryEdge) {
    for (const PictureCase& c : kCases) {
        const Picture picture = MakeButtonPicture(c.look);
        ASSERT_EQ(picture.width, 64);
        ASSERT_EQ(picture.height, 25);
        for (int r = 0; r < 4; ++r) {
            const RingColours& ring = c.rings[r];
            const int right = 63 - r;
            const int bottom = 24 - r;
            const std::string where =
                std::string(ButtonLookName(c.look)) + " ring " + std::to_string(r + 1);
            EXPECT_EQ(picture.At(32, r), ring.top) << where;
            EXPECT_EQ(picture.At(32, bottom), ring.bottom) << where;
            // The sides' shades: their ends just inside the top and bottom edges (the frame's
            // ends are corner blends, tested below), and their middles between.
            if (r != FrameRing(c.look)) {
                EXPECT_EQ(picture.At(r, r + 1), ring.leftTop) << where;
                EXPECT_EQ(picture.At(right, r + 1), ring.rightTop) << where;
                EXPECT_EQ(picture.At(r, bottom - 1), ring.leftBottom) << where;
                EXPECT_EQ(picture.At(right, bottom - 1), ring.rightBottom) << where;
            }
            EXPECT_TRUE(Between(picture.At(r, 12), ring.leftTop, ring.leftBottom)) << where;
            EXPECT_TRUE(Between(picture.At(right, 12), ring.rightTop, ring.rightBottom)) << where;
        }
    }
}

TEST(ButtonPictures, TheFrameIsRoundedWithBlendedPixelsInEveryCorner) {
    struct Corner {
        ButtonLook look;
        int frame;  // ring index from 0
        uint32_t outside;
        uint32_t beside;
        uint32_t inside;
    };
    const Corner corners[] = {
        {ButtonLook::Normal, 1, 0x7A95A8, 0x164D7E, 0x255783},
        {ButtonLook::HighLight, 1, 0x7A95A8, 0x164D7E, 0x255783},
        {ButtonLook::Selected, 1, 0x7A95A8, 0x164D7E, 0x255783},
        {ButtonLook::Pressed, 2, 0x7A95A8, 0x164D7E, 0x255783},
        {ButtonLook::Disable, 1, 0xD8D5C7, 0xC9C7BA, 0xCBC9BC},
    };
    for (const Corner& c : corners) {
        const Picture picture = MakeButtonPicture(c.look);
        const int f = c.frame;
        // Each corner mirrored: (x, y) from the top-left.
        for (const bool mirrorX : {false, true}) {
            for (const bool mirrorY : {false, true}) {
                const auto at = [&](int x, int y) {
                    return picture.At(mirrorX ? 63 - x : x, mirrorY ? 24 - y : y);
                };
                const std::string where = std::string(ButtonLookName(c.look)) +
                                          (mirrorX ? " right" : " left") +
                                          (mirrorY ? " bottom" : " top");
                EXPECT_EQ(at(f, f), c.outside) << where;
                EXPECT_EQ(at(f + 1, f), c.beside) << where;
                EXPECT_EQ(at(f, f + 1), c.beside) << where;
                EXPECT_EQ(at(f + 1, f + 1), c.inside) << where;
                EXPECT_NE(at(f + 2, f), c.outside) << where << ": the frame goes on straight";
            }
        }
    }
}

TEST(ButtonPictures, NormalsTopEdgeIsDarkerAlongItsMiddle) {
    const Picture normal = MakeButtonPicture(ButtonLook::Normal);
    EXPECT_EQ(normal.At(2, 0), 0xE0DCC9u);
    EXPECT_EQ(normal.At(61, 0), 0xE0DCC9u);
    EXPECT_EQ(normal.At(32, 0), 0xDCD6C2u);
}

}  // namespace
}  // namespace velmoria
