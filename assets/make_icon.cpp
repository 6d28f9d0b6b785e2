// make-icon OUT.ico: writes the programs' icon (16, 32 and 48 pixels) as drawn by
// MakeDialogIcon; assets/velmoria.ico, which the Windows resources carry, is its output.
// make-icon --png SIZE OUT.png: the same icon at one size, for the Linux icon theme.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "assets/dialog_pictures.h"
#include "tools/png_file.h"

namespace {

int Usage(bool help) {
    std::fprintf(help ? stdout : stderr,
                 "usage: make-icon OUT.ico\n       make-icon --png SIZE OUT.png\n");
    return help ? 0 : 2;
}

bool WriteFile(const char* path, const std::vector<uint8_t>& bytes) {
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr) {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
    return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--png") == 0) {
        const int size = std::atoi(argv[2]);
        if (size < 16 || size > 256) {
            return Usage(false);
        }
        const velmoria::Picture icon = velmoria::MakeDialogIcon(size);
        std::vector<uint8_t> rgba;
        for (const uint32_t pixel : icon.pixels) {
            rgba.insert(rgba.end(),
                        {static_cast<uint8_t>(pixel >> 16), static_cast<uint8_t>(pixel >> 8),
                         static_cast<uint8_t>(pixel), static_cast<uint8_t>(pixel >> 24)});
        }
        std::string error;
        if (!velmoria::WritePngRgba(argv[3], size, size, rgba, error)) {
            std::fprintf(stderr, "make-icon: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    if (argc != 2 || argv[1][0] == '-') {
        return Usage(argc == 2 && std::strcmp(argv[1], "--help") == 0);
    }
    if (!WriteFile(argv[1], velmoria::MakeIconFile())) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
