// png-compare EXPECTED ACTUAL: passes when two frames agree within the golden-frame tolerance:
// at most 0.1 % of the pixels differ by more than 8 levels in some channel, and the mean
// difference over all channels is at most 0.5 levels. Different sizes never agree.
#include <cstdio>
#include <cstdlib>

#include "tools/png_file.h"

int main(int argc, char** argv) {
    using namespace velmoria;
    if (argc != 3) {
        std::fprintf(stderr, "usage: png-compare EXPECTED ACTUAL\n");
        return 2;
    }
    RgbFrame expected, actual;
    std::string error;
    if (!ReadPng(argv[1], expected, error) || !ReadPng(argv[2], actual, error)) {
        std::fprintf(stderr, "png-compare: %s\n", error.c_str());
        return 2;
    }
    if (expected.width != actual.width || expected.height != actual.height) {
        std::printf("%s: %dx%d, expected %dx%d\n", argv[2], actual.width, actual.height,
                    expected.width, expected.height);
        return 1;
    }
    const size_t pixels = static_cast<size_t>(expected.width) * expected.height;
    size_t farOff = 0;
    double total = 0;
    int largest = 0;
    for (size_t i = 0; i < pixels; ++i) {
        int worst = 0;
        for (int c = 0; c < 3; ++c) {
            const int d = std::abs(expected.pixels[i * 3 + c] - actual.pixels[i * 3 + c]);
            total += d;
            worst = d > worst ? d : worst;
        }
        farOff += worst > 8;
        largest = worst > largest ? worst : largest;
    }
    const double mean = total / (pixels * 3.0);
    const bool agree = farOff * 1000 <= pixels && mean <= 0.5;
    std::printf("%s: %zu of %zu pixels off by more than 8, largest difference %d, mean %.4f: %s\n",
                argv[2], farOff, pixels, largest, mean, agree ? "agrees" : "DIFFERS");
    return agree ? 0 : 1;
}
