// The particle sprite: a 32 x 32 soft, slightly noisy grey glow on black, drawn by code.
#pragma once

#include <cstdint>
#include <vector>

namespace velmoria {

constexpr int kSpriteSide = 32;

// Mean brightness (0-255) of the glow at a whole-pixel distance from its centre; 0 from 22 on.
int SpriteBrightnessAt(int distance);

// The sprite as a complete 24-bit BMP file (file header, 40-byte header, bottom row first).
std::vector<uint8_t> MakeParticleSpriteBmp();

}  // namespace velmoria
