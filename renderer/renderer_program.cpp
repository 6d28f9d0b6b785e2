// The renderer's entry sequence, its window set-up and its frame loop.
#include "renderer/renderer_program.h"

#include <new>

#include "renderer/frame.h"
#include "renderer/scene.h"

namespace velmoria {

SaverSettings* saverSettings = nullptr;

int RunRenderer(RendererWindow& window, int showCommand) {
    // Without a settings record there is nothing the window could consult: end quietly.
    saverSettings = new (std::nothrow) SaverSettings();
    if (saverSettings == nullptr) {
        return 0;
    }
    Registry& registry = RendererPlatform::Current().CurrentUserRegistry();
    ReadSystemSaverValues(*saverSettings, registry);
    ReadRendererSettings(*saverSettings, registry);
    ReadFrameLimit(*saverSettings, registry);
    if (const int64_t limit = RendererPlatform::Current().FrameLimitOverride(); limit >= 0) {
        saverSettings->frameLimit = static_cast<uint32_t>(limit);
    }
    const bool ran = RunRendererWindow(window, *saverSettings, showCommand);
    delete saverSettings;
    saverSettings = nullptr;
    return ran ? 0 : RendererPlatform::Current().SetupFailureExitCode();
}

bool RunRendererWindow(RendererWindow& window, SaverSettings& settings, int showCommand) {
    int32_t width = 0;
    int32_t height = 0;
    if (!window.Create(settings, width, height)) {
        return false;
    }
    InitScene(width, height);
    window.Show(showCommand);
    FramePacer pacer(settings.frameLimit);
    RunFrameLoop(window, DrawFrame, pacer, SteadyMicroseconds);
    window.TearDown();
    return true;
}

}  // namespace velmoria
