// make-sprite FILE: writes the particle sprite as a 24-bit BMP file.
#include <cstdio>
#include <cstring>

#include "assets/particle_sprite.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        const bool help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
        std::fprintf(help ? stdout : stderr, "usage: make-sprite FILE\n");
        return help ? 0 : 2;
    }
    const std::vector<uint8_t> bmp = velmoria::MakeParticleSpriteBmp();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "make-sprite: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(bmp.data(), 1, bmp.size(), out) == bmp.size();
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
