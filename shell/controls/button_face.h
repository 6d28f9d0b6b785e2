// How a gradient button's face is built: a vertical two-colour gradient, then the outer 4-pixel
// ring of a state picture cut into eight pieces (corners copied, edges stretched along their
// length, centre left out), then the caption. The backends draw exactly what this says.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "shell/controls/button_look.h"

namespace velmoria {

constexpr int kTwipsPerPixel = 15;
constexpr int kStatePictureWidth = 64;
constexpr int kStatePictureHeight = 25;
// The caption label keeps its designed height, 13 pixels.
constexpr double kCaptionHeightTwips = 195;
// What the face is cleared to before the gradient: the button face colour the pictures were
// drawn against.
constexpr uint32_t kFaceBackground = 0xECE9D8;
// The caption's colour while the control is disabled.
constexpr uint32_t kGreyedCaption = 0xACA899;

// Twips to whole pixels at 15 twips to the pixel, to the nearest.
int TwipsToPixels(double twips);

struct PieceRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const PieceRect& o) const {
        return x == o.x && y == o.y && width == o.width && height == o.height;
    }
};

struct FacePiece {
    const char* name;
    PieceRect source;  // in the state picture
    PieceRect target;  // on the face
};

// The pieces to paint, in painting order, for a face of the given size in twips. A piece whose
// size comes out at zero or less (faces under 8 pixels) is left out, so tiny faces show their
// corners over the gradient and nothing is ever mirrored.
std::vector<FacePiece> FacePieces(int widthTwips, int heightTwips);
// The same for a face of `width` x `height` pixels on a display `ring` times as dense as 96 DPI
// (a whole number, at least 1): the picture's 4-pixel frame becomes 4 x ring pixels and its
// one-pixel lines `ring` pixels, so the frame stays crisp at 150 % or 200 %.
std::vector<FacePiece> FacePiecesAt(int width, int height, int ring);
// The ring factor for a display of `dpi` dots per inch: DPI / 96 to the nearest whole number.
int FaceRing(int dpi);
// Twips (1/1440 inch) to whole pixels at `dpi`, to the nearest.
int TwipsToPixelsAt(double twips, int dpi);

enum class StretchAxis { Horizontal, Vertical };

// Which source pixel each of `targetLength` pixels copies when a run of `sourceLength` pixels
// is stretched or shrunk without filtering, as GDI's StretchBlt in COLORONCOLOR mode picks them
// (a line-stepping walk from the first pixel to the last). Shrinking, a column keeps the last
// source pixel that lands on it and a row keeps the first.
std::vector<int> StretchSourceIndices(int sourceLength, int targetLength, StretchAxis axis);

// A colour with 16 bits per channel, as GradientFill takes it.
struct Colour16 {
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;
};

// "&HFFFFFF"-style text read as red, green and blue pairs in written order, each byte times
// 256. False when the text is not "&H" and six hex digits.
bool ParseGradientColourText(std::string_view text, Colour16& colour);

struct FaceGradient {
    Colour16 top;
    Colour16 bottom;
};

// White over lavender grey; turned upside down when reversed.
FaceGradient FaceGradientColours(bool reverseGradient);

// The 0xRRGGBB colour of pixel row `row` of a vertical gradient from `top` (row 0) to `bottom`
// (row `rows`), as GradientFill's vertical rectangle mode computes it: GradientFill runs from
// the upper vertex's row up to, not including, the lower vertex's row.
uint32_t GradientRowColour(const FaceGradient& gradient, int row, int rows);

// The caption label's top in twips for a face `heightTwips` high: centred, 20 twips higher.
double CaptionTopTwips(double heightTwips);

}  // namespace velmoria
