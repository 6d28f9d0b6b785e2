// Separable resampling: rows first, then columns, in floating point.
#include "shell/forms/image_scale.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace velmoria {

namespace {

// One source sample's share in a target sample.
struct Tap {
    int32_t index;
    float weight;
};

// For each of `to` target samples, the source samples of a line of `from` that make it up.
std::vector<std::vector<Tap>> Taps(int32_t from, int32_t to) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(to));
    const double scale = static_cast<double>(from) / to;
    for (int32_t t = 0; t < to; ++t) {
        std::vector<Tap>& out = taps[static_cast<size_t>(t)];
        if (scale >= 1.0) {
            // Shrinking: the source interval [t, t + 1) * scale, each pixel by its overlap.
            const double begin = t * scale;
            const double end = (t + 1) * scale;
            for (int32_t s = static_cast<int32_t>(std::floor(begin));
                 s < std::min<double>(from, std::ceil(end)); ++s) {
                const double overlap = std::min<double>(end, s + 1) - std::max<double>(begin, s);
                if (overlap > 0) {
                    out.push_back({s, static_cast<float>(overlap / scale)});
                }
            }
        } else {
            // Enlarging: linear between the two source centres around the target's centre.
            const double centre = std::clamp((t + 0.5) * scale - 0.5, 0.0, from - 1.0);
            const int32_t left = static_cast<int32_t>(std::floor(centre));
            const int32_t right = std::min(left + 1, from - 1);
            const float fraction = static_cast<float>(centre - left);
            out.push_back({left, 1.0f - fraction});
            if (right != left) {
                out.push_back({right, fraction});
            }
        }
    }
    return taps;
}

}  // namespace

PixelImage ScaleImage(const PixelImage& source, int32_t width, int32_t height) {
    PixelImage target;
    if (width <= 0 || height <= 0 || source.width <= 0 || source.height <= 0) {
        return target;
    }
    const std::vector<std::vector<Tap>> across = Taps(source.width, width);
    const std::vector<std::vector<Tap>> down = Taps(source.height, height);
    // Rows first: source.height rows of `width` samples.
    std::vector<float> rows(static_cast<size_t>(source.height) * width * 3, 0.0f);
    for (int32_t y = 0; y < source.height; ++y) {
        const uint8_t* in = &source.rgb[static_cast<size_t>(y) * source.width * 3];
        float* out = &rows[static_cast<size_t>(y) * width * 3];
        for (int32_t x = 0; x < width; ++x) {
            for (const Tap& tap : across[static_cast<size_t>(x)]) {
                for (int c = 0; c < 3; ++c) {
                    out[x * 3 + c] += tap.weight * in[tap.index * 3 + c];
                }
            }
        }
    }
    target.width = width;
    target.height = height;
    target.rgb.assign(static_cast<size_t>(width) * height * 3, 0);
    std::vector<float> sum(static_cast<size_t>(width) * 3);
    for (int32_t y = 0; y < height; ++y) {
        std::fill(sum.begin(), sum.end(), 0.0f);
        for (const Tap& tap : down[static_cast<size_t>(y)]) {
            const float* in = &rows[static_cast<size_t>(tap.index) * width * 3];
            for (size_t i = 0; i < sum.size(); ++i) {
                sum[i] += tap.weight * in[i];
            }
        }
        uint8_t* out = &target.rgb[static_cast<size_t>(y) * width * 3];
        for (size_t i = 0; i < sum.size(); ++i) {
            out[i] = static_cast<uint8_t>(std::clamp(std::lround(sum[i]), 0L, 255L));
        }
    }
    return target;
}

}  // namespace velmoria
