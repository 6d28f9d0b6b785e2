// One-time OpenGL set-up of the renderer: projection, fixed state, the sprite texture, three
// lights, the particle seeding and the hidden cursor.
#pragma once

#include <cstdint>

namespace velmoria {

// Sets up the current context for a screen of width x height pixels, with the sprite from the
// file the shell writes.
void InitScene(int32_t width, int32_t height);

// The same with the sprite taken from `spritePath` (the recorder's --sprite).
void InitScene(int32_t width, int32_t height, const char* spritePath);

// Viewport and projection for a window whose size has changed since InitScene (a window manager
// may resize a full-screen window); the rest of the state stays.
void ResizeScene(int32_t width, int32_t height);

}  // namespace velmoria
