// The renderer's one texture: the particle sprite, loaded from a bitmap file and uploaded with
// its whole mipmap chain.
#pragma once

#include <cstdint>

namespace velmoria {

class Texture {
  public:
    virtual ~Texture() {}  // releases nothing: the GL texture dies with its context

    // Loads the bitmap at `path` and uploads it; on failure the loader has told the user and
    // nothing is created, so name 0 stays bound and particles show their plain colour.
    void Load(const char* path);

    // Enables 2D texturing and binds this texture.
    void Bind();

    uint32_t name = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// The texture every particle is drawn with.
extern Texture spriteTexture;

}  // namespace velmoria
