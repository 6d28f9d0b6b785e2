// The renderer's entry sequence.
#include "renderer_entry.h"

#include <new>

namespace velmoria {

SaverSettings* saverSettings = nullptr;

int RunRenderer(int showCommand) {
    // Without a settings record there is nothing the window could consult: end quietly.
    saverSettings = new (std::nothrow) SaverSettings();
    if (saverSettings == nullptr) {
        return 0;
    }
    ReadSystemSaverValues(*saverSettings, PlatformRegistry());
    ReadRendererSettings(*saverSettings, PlatformRegistry());
    RunRendererWindow(*saverSettings, showCommand);
    delete saverSettings;
    saverSettings = nullptr;
    return 0;
}

}  // namespace velmoria
