// libFuzzer target: any byte string through the bitmap loader's parser and our decoder. Run by
// scripts/test for a short while, seeded with the bitmap corpus.
#include <cstddef>
#include <cstdint>

#include "common/dib_loader.h"
#include "common/dib_software_converter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    velmoria::SoftwareBgr24Converter converter;
    velmoria::DibLoadResult result = velmoria::LoadDibFromMemory(data, size, converter);
    if (result.image != nullptr) {
        // Touch every output byte so a short buffer shows up under the sanitizers.
        volatile uint8_t sum = 0;
        const size_t bytes = static_cast<size_t>(result.image->width) * result.image->height * 3;
        for (size_t i = 0; i < bytes; ++i) {
            sum = static_cast<uint8_t>(sum + result.image->pixels[i]);
        }
        velmoria::FreeRgbImage(result.image);
    }
    return 0;
}
