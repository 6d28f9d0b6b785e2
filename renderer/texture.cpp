// Loading and binding the sprite texture.
#include "texture.h"

#include "dib_file_loader.h"
#include "gl.h"

namespace velmoria {

Texture spriteTexture;

void Texture::Load(const char* path) {
    RgbImage* image = LoadDibFile(path);
    if (image == nullptr) {
        return;
    }
    width = image->width;
    height = image->height;
    GLuint textureName = 0;
    glGenTextures(1, &textureName);
    name = textureName;
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // The rows are packed without padding; the default alignment of 4 would make GLU read
    // past the end of any image whose row is not a multiple of four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_RGB, GL_UNSIGNED_BYTE,
                      image->pixels);
    FreeRgbImage(image);
}

void Texture::Bind() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, name);
}

}  // namespace velmoria
