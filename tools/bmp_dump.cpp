// bmp-dump FILE: loads FILE with LoadDibFile and prints its size and rows, or the loader's
// message prefixed "ERROR: " (no box); exits 1 when the file does not load.
// bmp-dump FILE FILE...: the same for each file, each under a line "== NAME" (the file's name
// without its folder) and followed by "exit N", since one Wine start per file is slow.
#include <cstdio>
#include <string>

#include "renderer/dib_file_loader.h"
#include "tools/binary_stdout.h"
#include "tools/native_renderer_platform.h"

namespace {

int Dump(const char* path) {
    std::string message;
    velmoria::RgbImage* image = velmoria::LoadDibFile(
        path, [](const char* text, void* context) { *static_cast<std::string*>(context) = text; },
        &message);
    if (image == nullptr) {
        while (!message.empty() && (message.back() == '\n' || message.back() == '\r')) {
            message.pop_back();
        }
        std::printf("ERROR: %s\n", message.c_str());
        return 1;
    }
    std::printf("%d %d\n", image->width, image->height);
    const uint8_t* p = image->pixels;
    for (int32_t y = 0; y < image->height; ++y) {
        for (int32_t x = 0; x < image->width; ++x, p += 3) {
            std::printf("%02x%02x%02x", p[0], p[1], p[2]);
        }
        std::putchar('\n');
    }
    velmoria::FreeRgbImage(image);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

const char* NameOf(const char* path) {
    const char* name = path;
    for (const char* p = path; *p != '\0'; ++p) {
        if (*p == '/' || *p == '\\') {
            name = p + 1;
        }
    }
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    UseBinaryStdout();
    if (argc < 2) {
        std::fprintf(stderr, "usage: bmp-dump FILE...\n");
        return 2;
    }
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof(buffer));
    velmoria::NativeRendererPlatform platform;
    velmoria::RendererPlatform::Connect(&platform);
    if (argc == 2) {
        return Dump(argv[1]);
    }
    for (int i = 1; i < argc; ++i) {
        std::printf("== %s\n", NameOf(argv[i]));
        const int status = Dump(argv[i]);
        std::printf("exit %d\n", status);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
