// frame-bench [FRAMES]: the real scene drawn headlessly (EGL) at 1024x768 and 1920x1080. For
// each size it reports the median time of a whole frame (DrawFrame and the wait for the pixels)
// over FRAMES frames (default 300), and the median time of the particle stepping alone, run on a
// copy of the same particle state, to show the share of a frame spent stepping.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "assets/particle_sprite.h"
#include "renderer/frame.h"
#include "renderer/headless/egl_context.h"
#include "renderer/posix/renderer_platform_posix.h"
#include "renderer/scene.h"
#include "renderer/texture.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

bool MeasureSize(int32_t width, int32_t height, int frames, const char* sprite) {
    using namespace velmoria;
    HeadlessContextEgl context(width, height);
    if (!context.ok()) {
        std::fprintf(stderr, "frame-bench: %s\n", context.error().c_str());
        return false;
    }
    // Each size starts as a fresh program does: every particle field zero, generator at 1.
    particleSystem = *std::make_unique<ParticleSystem>();
    spriteTexture = Texture();
    InitScene(width, height, sprite);
    // The stepping-only run starts from the very state the drawn run starts from.
    auto steppingOnly = std::make_unique<ParticleSystem>(particleSystem);

    std::vector<double> frameTimes, stepTimes;
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point start = Clock::now();
        DrawFrame();
        context.Swap();
        frameTimes.push_back(Milliseconds(Clock::now() - start));
    }
    for (int i = 0; i < frames; ++i) {
        const Clock::time_point start = Clock::now();
        RunFrame(*steppingOnly);
        stepTimes.push_back(Milliseconds(Clock::now() - start));
    }
    const double frame = Median(frameTimes);
    const double step = Median(stepTimes);
    std::printf(
        "%4dx%-4d  frame %7.2f ms (%5.1f frames/s)  stepping %6.2f ms (%4.1f %%)  drawing "
        "%7.2f ms\n",
        width, height, frame, 1000.0 / frame, step, 100.0 * step / frame, frame - step);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    velmoria::RendererPlatformPosix platform;
    velmoria::RendererPlatform::Connect(&platform);
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    if (frames < 1) {
        std::fprintf(stderr, "usage: frame-bench [FRAMES]\n");
        return 2;
    }
    // The scene as the saver shows it: with the shell's sprite.
    const std::string sprite =
        (std::filesystem::temp_directory_path() / "velmoria-frame-bench-sprite.bmp").string();
    const std::vector<uint8_t> bmp = velmoria::MakeParticleSpriteBmp();
    std::FILE* file = std::fopen(sprite.c_str(), "wb");
    if (file == nullptr || std::fwrite(bmp.data(), 1, bmp.size(), file) != bmp.size()) {
        std::fprintf(stderr, "frame-bench: cannot write %s\n", sprite.c_str());
        return 1;
    }
    std::fclose(file);
    std::printf("median over %d frames, 30000 particles, textured\n", frames);
    const bool ok = MeasureSize(1024, 768, frames, sprite.c_str()) &&
                    MeasureSize(1920, 1080, frames, sprite.c_str());
    std::filesystem::remove(sprite);
    return ok ? 0 : 1;
}
