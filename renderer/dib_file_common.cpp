// LoadDibFile's default reporting: the platform's error box.
#include "dib_loader.h"
#include "error_box.h"

namespace velmoria {

RgbImage* LoadDibFile(const char* fileName) {
    return LoadDibFile(
        fileName, [](const char* text, void*) { ShowErrorBox(text); }, nullptr);
}

}  // namespace velmoria
