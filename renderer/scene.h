// One-time OpenGL set-up of the renderer: projection, fixed state, the sprite texture, three
// lights, the particle seeding and the hidden cursor.
#pragma once

#include <cstdint>
#include <string>

namespace velmoria {

// Sets up the current context for a screen of width x height pixels, with the sprite from the
// platform's sprite path.
void InitScene(int32_t width, int32_t height);

// The same with the sprite taken from `spritePath` (the recorder's --sprite).
void InitScene(int32_t width, int32_t height, const char* spritePath);

// Where the shell writes the particle sprite (implemented per platform).
std::string SpriteFilePath();

// Hides the mouse pointer over the renderer's window (implemented per platform).
void HideCursor();

}  // namespace velmoria
