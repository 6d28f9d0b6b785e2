// make-icon OUT.ico: writes the programs' icon (16, 32 and 48 pixels) as drawn by
// MakeDialogIcon. assets/velmoria.ico, which the Windows resources carry, is its output.
#include <cstdio>
#include <cstring>
#include <vector>

#include "assets/dialog_pictures.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        const bool help = argc == 2 && std::strcmp(argv[1], "--help") == 0;
        std::fprintf(help ? stdout : stderr, "usage: make-icon OUT.ico\n");
        return help ? 0 : 2;
    }
    const std::vector<uint8_t> ico = velmoria::MakeIconFile();
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr) {
        std::fprintf(stderr, "make-icon: cannot write %s\n", argv[1]);
        return 1;
    }
    const bool ok = std::fwrite(ico.data(), 1, ico.size(), out) == ico.size();
    return std::fclose(out) == 0 && ok ? 0 : 1;
}
