// velmoria-record: draws the renderer's scene headlessly (EGL, no X server) and saves frames as
// PNG files, for looking at the animation, golden-frame tests and frame-rate figures.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "common/saver_contract.h"
#include "png_file.h"
#include "record_options.h"
#include "renderer/frame.h"
#include "renderer/headless/egl_context.h"
#include "renderer/posix/renderer_platform_posix.h"
#include "renderer/saver_settings.h"
#include "renderer/scene.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string FramePath(const std::string& folder, int frame) {
    char name[32];
    std::snprintf(name, sizeof name, "frame-%05d.png", frame);
    return (std::filesystem::path(folder) / name).string();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velmoria;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--help" || std::string(argv[i]) == "-h") {
            std::fputs(kRecordUsage, stdout);
            return 0;
        }
    }
    RecordOptions options;
    std::string error;
    if (!ParseRecordOptions(argc, argv, options, error)) {
        std::fprintf(stderr, "velmoria-record: %s\n%s", error.c_str(), kRecordUsage);
        return 2;
    }
    std::error_code folderError;
    std::filesystem::create_directories(options.outDir, folderError);
    if (folderError) {
        std::fprintf(stderr, "velmoria-record: cannot create %s: %s\n", options.outDir.c_str(),
                     folderError.message().c_str());
        return 1;
    }

    // The renderer reads its settings before anything else; so does the recorder, though no
    // frame depends on them.
    RendererPlatformPosix platform;
    RendererPlatform::Connect(&platform);
    SaverSettings settings;
    ReadSystemSaverValues(settings, platform.CurrentUserRegistry());
    ReadRendererSettings(settings, platform.CurrentUserRegistry());

    HeadlessContextEgl context(options.width, options.height);
    if (!context.ok()) {
        std::fprintf(stderr, "velmoria-record: %s\n", context.error().c_str());
        return 1;
    }
    const std::string sprite = options.sprite.empty() ? SpriteFilePath() : options.sprite;
    InitScene(options.width, options.height, sprite.c_str());

    RgbFrame frame;
    frame.width = options.width;
    frame.height = options.height;
    Clock::duration drawing{};
    int saved = 0;
    const Clock::time_point start = Clock::now();
    Clock::time_point lastProgress = start;
    for (int n = 1; n <= options.frames; ++n) {
        const Clock::time_point before = Clock::now();
        DrawFrame();
        context.Swap();
        drawing += Clock::now() - before;
        if (n % options.every == 0) {
            frame.pixels = context.ReadRgb();
            if (!WritePng(FramePath(options.outDir, n), frame, error)) {
                std::fprintf(stderr, "\nvelmoria-record: %s\n", error.c_str());
                return 1;
            }
            ++saved;
        }
        const Clock::time_point now = Clock::now();
        if (now - lastProgress > std::chrono::milliseconds(250) || n == options.frames) {
            std::fprintf(stderr, "\rframe %d of %d, %d saved", n, options.frames, saved);
            std::fflush(stderr);
            lastProgress = now;
        }
    }
    const double total = std::chrono::duration<double>(Clock::now() - start).count();
    const double drawSeconds = std::chrono::duration<double>(drawing).count();
    std::fprintf(stderr, "\n");
    std::printf("%d frames at %dx%d in %.2f s, %d saved to %s\n", options.frames, options.width,
                options.height, total, saved, options.outDir.c_str());
    std::printf("drawing: %.1f frames per second\n",
                drawSeconds > 0 ? options.frames / drawSeconds : 0.0);
    return 0;
}
