#include "shell/controls/button_face.h"

#include <algorithm>
#include <cmath>

namespace velmoria {

const char* ButtonLookName(ButtonLook look) {
    switch (look) {
        case ButtonLook::Normal:
            return "Normal";
        case ButtonLook::HighLight:
            return "HighLight";
        case ButtonLook::Selected:
            return "Selected";
        case ButtonLook::HighLightSelect:
            return "HighLightSelect";
        case ButtonLook::Pressed:
            return "Pressed";
        case ButtonLook::Disable:
            return "Disable";
    }
    return "?";
}

int TwipsToPixels(double twips) {
    return static_cast<int>(std::floor(twips / kTwipsPerPixel + 0.5));
}

int TwipsToPixelsAt(double twips, int dpi) {
    return static_cast<int>(std::floor(twips * dpi / 1440.0 + 0.5));
}

int FaceRing(int dpi) {
    return std::max(1, (dpi + 48) / 96);
}

std::vector<FacePiece> FacePieces(int widthTwips, int heightTwips) {
    return FacePiecesAt(TwipsToPixels(widthTwips), TwipsToPixels(heightTwips), 1);
}

std::vector<FacePiece> FacePiecesAt(int width, int height, int ring) {
    // The picture is 64 x 25 pixels: 4-pixel corners, so its middle is 56 x 17. On the face the
    // corners take 4 x ring pixels.
    const int w = width;
    const int h = height;
    const int c = 4 * std::max(ring, 1);
    const FacePiece pieces[] = {
        {"top-left", {0, 0, 4, 4}, {0, 0, c, c}},
        {"top", {4, 0, 56, 4}, {c, 0, w - 2 * c, c}},
        {"top-right", {60, 0, 4, 4}, {w - c, 0, c, c}},
        {"right", {60, 4, 4, 17}, {w - c, c, c, h - 2 * c}},
        {"bottom-right", {60, 21, 4, 4}, {w - c, h - c, c, c}},
        {"bottom", {4, 21, 56, 4}, {c, h - c, w - 2 * c, c}},
        {"bottom-left", {0, 21, 4, 4}, {0, h - c, c, c}},
        {"left", {0, 4, 4, 17}, {0, c, c, h - 2 * c}},
    };
    std::vector<FacePiece> result;
    for (const FacePiece& piece : pieces) {
        if (piece.target.width > 0 && piece.target.height > 0) {
            result.push_back(piece);
        }
    }
    return result;
}

std::vector<int> StretchSourceIndices(int sourceLength, int targetLength, StretchAxis axis) {
    std::vector<int> indices;
    if (sourceLength <= 0 || targetLength <= 0) {
        return indices;
    }
    indices.resize(static_cast<size_t>(targetLength));
    const int s = sourceLength;
    const int t = targetLength;
    if (t >= s) {
        // Enlarging: every target pixel takes the current source pixel, then steps on when the
        // error says the next source pixel's centre has been passed.
        int source = 0;
        int error = 3 * s - 2 * t;
        for (int i = 0; i < t; ++i) {
            indices[static_cast<size_t>(i)] = source;
            if (error > 0) {
                ++source;
                error += 2 * s - 2 * t;
            } else {
                error += 2 * s;
            }
        }
    } else if (t == 1 && axis == StretchAxis::Horizontal) {
        // GDI's walk along a row stops one source pixel short here.
        indices[0] = s - 2;
    } else {
        // Shrinking: the walk visits every source pixel and steps to the next target pixel
        // when the error says so.
        const bool keepLast = axis == StretchAxis::Horizontal;
        int target = 0;
        int previous = -1;
        int error = 3 * t - 2 * s;
        for (int i = 0; i < s && target < t; ++i) {
            if (keepLast || target != previous) {
                indices[static_cast<size_t>(target)] = i;
                previous = target;
            }
            if (error > 0) {
                ++target;
                error += 2 * t - 2 * s;
            } else {
                error += 2 * t;
            }
        }
    }
    return indices;
}

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

uint8_t Channel(uint16_t value16) {
    return static_cast<uint8_t>(value16 >> 8);
}

}  // namespace

bool ParseGradientColourText(std::string_view text, Colour16& colour) {
    if (text.size() != 8 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h')) {
        return false;
    }
    uint16_t channels[3];
    for (int i = 0; i < 3; ++i) {
        const int high = HexDigit(text[2 + 2 * i]);
        const int low = HexDigit(text[3 + 2 * i]);
        if (high < 0 || low < 0) {
            return false;
        }
        channels[i] = static_cast<uint16_t>((high * 16 + low) * 256);
    }
    colour = {channels[0], channels[1], channels[2]};
    return true;
}

FaceGradient FaceGradientColours(bool reverseGradient) {
    Colour16 white;
    Colour16 lavender;
    ParseGradientColourText("&HFFFFFF", white);
    ParseGradientColourText("&HC6C5D7", lavender);
    return reverseGradient ? FaceGradient{lavender, white} : FaceGradient{white, lavender};
}

uint32_t GradientRowColour(const FaceGradient& gradient, int row, int rows) {
    if (rows <= 0) {
        return (uint32_t{Channel(gradient.top.red)} << 16) |
               (uint32_t{Channel(gradient.top.green)} << 8) | Channel(gradient.top.blue);
    }
    const auto mix = [&](uint16_t top, uint16_t bottom) {
        const int64_t value = (int64_t{top} * (rows - row) + int64_t{bottom} * row) / rows / 256;
        return static_cast<uint32_t>(value);
    };
    return (mix(gradient.top.red, gradient.bottom.red) << 16) |
           (mix(gradient.top.green, gradient.bottom.green) << 8) |
           mix(gradient.top.blue, gradient.bottom.blue);
}

double CaptionTopTwips(double heightTwips) {
    return (heightTwips - kCaptionHeightTwips - 20) / 2;
}

}  // namespace velmoria
