// Each ring has a colour along its top and its bottom, and a shade down each side from the top
// to the bottom. The frame ring (dark blue, or grey when disabled) is rounded at the corners by
// blended pixels: one outside the curve, two on it beside the corner, one inside it.
#include "assets/button_pictures.h"

#include <cmath>

namespace velmoria {

namespace {

constexpr int kWidth = 64;
constexpr int kHeight = 25;
constexpr int kRings = 4;

struct Shade {
    uint32_t top;
    uint32_t bottom;
};

struct Ring {
    uint32_t top;
    uint32_t bottom;
    Shade left;
    Shade right;
    uint32_t topMiddle;  // the top edge's colour along its middle
};

struct FrameCorner {
    int ring;  // 0-based
    uint32_t outside;
    uint32_t beside;  // the two frame pixels next to the corner
    uint32_t inside;
};

struct PictureLayout {
    Ring rings[kRings];
    FrameCorner corner;
};

constexpr Ring Flat(uint32_t c) {
    return {c, c, {c, c}, {c, c}, c};
}
constexpr Ring Plain(uint32_t top, uint32_t bottom, Shade left, Shade right) {
    return {top, bottom, left, right, top};
}

constexpr uint32_t kBlueFrame = 0x003C74;
constexpr uint32_t kGreyFrame = 0xC9C7BA;
constexpr Ring kOuterLight = {
    0xE0DCC9, 0xFAFAF6, {0xE2DECB, 0xE2DECB}, {0xF0EEE0, 0xF0EEE0}, 0xDCD6C2};
constexpr FrameCorner kBlueCorner = {1, 0x7A95A8, 0x164D7E, 0x255783};

PictureLayout LayoutOf(ButtonLook look) {
    switch (look) {
        case ButtonLook::Normal:
            return {{kOuterLight, Flat(kBlueFrame),
                     Plain(0xF3F3EE, 0xD6D0C5, {0xFDFDFC, 0xECEBE6}, {0xF6F4F2, 0xE0DDD4}),
                     Plain(0xF3F3EE, 0xE2DFD6, {0xFDFDFC, 0xEBEBE5}, {0xFBFBFA, 0xE4E2DA})},
                    kBlueCorner};
        case ButtonLook::HighLight:
        case ButtonLook::HighLightSelect:
            return {{kOuterLight, Flat(kBlueFrame),
                     Plain(0xFFF0CF, 0xE59700, {0xFEDF9A, 0xF9B435}, {0xFDE09B, 0xF8B435}),
                     Plain(0xFDD889, 0xF8B330, {0xFCD279, 0xF8B535}, {0xFCD279, 0xF8B535})},
                    kBlueCorner};
        case ButtonLook::Selected:
            return {{kOuterLight, Flat(kBlueFrame),
                     Plain(0xCEE7FF, 0x6982EE, {0xB7D0F4, 0x8BADE4}, {0xB1CCF2, 0x8BAFE5}),
                     Plain(0xCEE7FF, 0x6982EE, {0xB8D1F4, 0x8BADE4}, {0xB1CCF2, 0x8BAFE5})},
                    kBlueCorner};
        case ButtonLook::Pressed:
            return {{Flat(0xECE9D8), kOuterLight, Flat(kBlueFrame),
                     Plain(0xD1CCC1, 0xF2F1EE, {0xD9D6CD, 0xD7D3CA}, {0xE5E5DE, 0xE3E2DB})},
                    {2, 0x7A95A8, 0x164D7E, 0x255783}};
        case ButtonLook::Disable:
            return {{Flat(0xECE9D8), Flat(kGreyFrame), Flat(0xF5F4EA), Flat(0xF5F4EA)},
                    {1, 0xD8D5C7, kGreyFrame, 0xCBC9BC}};
    }
    return {};
}

uint32_t Mix(const Shade& shade, int step, int steps) {
    if (steps <= 0) {
        return shade.top;
    }
    uint32_t rgb = 0;
    for (int shift = 16; shift >= 0; shift -= 8) {
        const int a = static_cast<int>((shade.top >> shift) & 0xFF);
        const int b = static_cast<int>((shade.bottom >> shift) & 0xFF);
        const int v =
            static_cast<int>(std::lround(a + (b - a) * static_cast<double>(step) / steps));
        rgb |= static_cast<uint32_t>(v) << shift;
    }
    return rgb;
}

// Sets a pixel given for the top-left corner, and its mirrors in the other three corners.
void SetInEveryCorner(Picture& image, int x, int y, uint32_t rgb) {
    image.Set(x, y, rgb);
    image.Set(kWidth - 1 - x, y, rgb);
    image.Set(x, kHeight - 1 - y, rgb);
    image.Set(kWidth - 1 - x, kHeight - 1 - y, rgb);
}

}  // namespace

Picture MakeButtonPicture(ButtonLook look) {
    const PictureLayout layout = LayoutOf(look);
    // Never shown; the innermost ring's colour keeps it plain.
    Picture image(kWidth, kHeight, layout.rings[kRings - 1].top);
    for (int r = 0; r < kRings; ++r) {
        const Ring& ring = layout.rings[r];
        const int left = r;
        const int right = kWidth - 1 - r;
        const int top = r;
        const int bottom = kHeight - 1 - r;
        for (int x = left; x <= right; ++x) {
            const bool middle = x >= kWidth / 4 && x < kWidth - kWidth / 4;
            image.Set(x, top, middle ? ring.topMiddle : ring.top);
            image.Set(x, bottom, ring.bottom);
        }
        // The sides run between the top and bottom edges, shaded from the top down.
        const int steps = (bottom - 1) - (top + 1);
        for (int y = top + 1; y <= bottom - 1; ++y) {
            image.Set(left, y, Mix(ring.left, y - (top + 1), steps));
            image.Set(right, y, Mix(ring.right, y - (top + 1), steps));
        }
    }
    const FrameCorner& c = layout.corner;
    SetInEveryCorner(image, c.ring, c.ring, c.outside);
    SetInEveryCorner(image, c.ring + 1, c.ring, c.beside);
    SetInEveryCorner(image, c.ring, c.ring + 1, c.beside);
    SetInEveryCorner(image, c.ring + 1, c.ring + 1, c.inside);
    return image;
}

}  // namespace velmoria
