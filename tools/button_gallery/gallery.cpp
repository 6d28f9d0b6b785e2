#include "tools/button_gallery/gallery.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace velmoria {

namespace {

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool LookNamed(const std::string& name, ButtonLook* look) {
    for (const ButtonLook candidate : kAllButtonLooks) {
        if (name == ButtonLookName(candidate)) {
            *look = candidate;
            return true;
        }
    }
    return false;
}

int WriteFace(const FaceRenderer& render, ButtonLook look, int width, int height, bool reverse,
              const std::string& path) {
    if (!WriteFile(path, EncodeBmp24(render(look, width, height, reverse)))) {
        std::fprintf(stderr, "button-gallery: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}

}  // namespace

int RunFaceCommand(int argc, char** argv, const FaceRenderer& render) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--face" && argc == 7) {
        ButtonLook look;
        const int width = std::atoi(argv[3]);
        const int height = std::atoi(argv[4]);
        const std::string direction = argv[5];
        if (!LookNamed(argv[2], &look) || width <= 0 || height <= 0 || width > 4096 ||
            height > 4096 || (direction != "normal" && direction != "reversed")) {
            std::fprintf(stderr, "usage: button-gallery --face LOOK W H normal|reversed OUT.bmp\n");
            return 2;
        }
        return WriteFace(render, look, width, height, direction == "reversed", argv[6]);
    }
    if (command == "--faces" && argc == 3) {
        for (const GalleryButton& button : kGalleryButtons) {
            if (button.name == std::string("cancel")) {
                continue;  // the same size as "set"
            }
            for (const ButtonLook look : kAllButtonLooks) {
                for (const bool reverse : {false, true}) {
                    const std::string path = std::string(argv[2]) + "/" + ButtonLookName(look) +
                                             "-" + std::to_string(button.width) + "x" +
                                             std::to_string(button.height) + "-" +
                                             (reverse ? "reversed" : "normal") + ".bmp";
                    if (WriteFace(render, look, button.width, button.height, reverse, path)) {
                        return 1;
                    }
                }
            }
        }
        return 0;
    }
    if (command.rfind("--", 0) == 0) {
        std::fprintf(stderr,
                     "usage: button-gallery [--face LOOK W H normal|reversed OUT.bmp | --faces "
                     "DIR]\n");
        return 2;
    }
    return -1;
}

}  // namespace velmoria
