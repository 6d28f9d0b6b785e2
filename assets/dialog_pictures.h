// The settings dialog's pictures, drawn by code: the brushed-metal strip of its panel, the two
// selection marks, the link's pointing-hand cursor and the programs' icon.
#pragma once

#include <cstdint>
#include <vector>

#include "shell/controls/picture.h"

namespace velmoria {

// 556 x 20: brushed grey, about RGB(223, 223, 223) at the left fading to RGB(176, 175, 175).
// Drawn afresh at another size for a larger display scale, so the grain stays one pixel fine.
Picture MakeMetalStrip(int width = 556, int height = 20);

// 12 x 12: a sunken box with a dark frame and a pale face brightening to white towards the
// lower right; selected, the face is an 8 x 8 blue square, bright in the middle, dark at its rim.
// At a larger `size` each one-pixel ring is `ring` pixels wide and the face fills the rest.
Picture MakeSelectionMark(bool selected, int size = 12, int ring = 1);

// Pictures with transparency: 0xAARRGGBB, alpha 0 (clear) or 255 (opaque) for the cursor.
// The pointing hand, 32 x 32, its fingertip at the hot spot (12, 10); at another `size` its
// shapes are scaled by size / 32 and its outline stays one pixel.
Picture MakeHandCursor(int size = 32);
struct PicturePoint {
    int x = 0;
    int y = 0;
};
PicturePoint HandCursorHotSpot(int size);
// The icon, `size` x `size` (16 or 32 and up): a night-blue disc crossed by a glowing trail.
Picture MakeDialogIcon(int size);
// The icon at 16, 32 and 48 pixels as a .ico file (the Windows programs' icon resource).
std::vector<uint8_t> MakeIconFile();

}  // namespace velmoria
