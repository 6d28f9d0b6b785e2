// The renderer's one settings record: system screen-saver values, the renderer's own switches
// (read and kept, consulted by nothing), its window and the cursor position at window creation.
#pragma once

#include <cstdint>

#include "registry.h"

namespace velmoria {

struct CursorPoint {
    int32_t x;
    int32_t y;
};

struct SaverSettings {
    uintptr_t hwnd = 0;  // the full-screen window (a native handle or X window id)
    int32_t passwordDelay = 0;
    int32_t mouseThreshold = 0;
    int32_t muteSound = 0;
    CursorPoint startCursor = {0, 0};
    uint32_t rotate = 0;
    uint32_t particle1 = 0;
    uint32_t particle2 = 0;
    uint32_t particle3 = 0;
    uint32_t qualLow = 0;
    uint32_t qualMed = 0;
    uint32_t qualHi = 0;
    uint32_t gravity = 0;
    uint32_t frameLimit = 0;  // frames a second at most, 0 for none
};

// "Password Delay", "Mouse Threshold" and "Mute Sound" from the system's screen-saver key.
void ReadSystemSaverValues(SaverSettings& settings, Registry& registry);

// The eight switches of the renderer's own key, which is opened anew for each of them.
void ReadRendererSettings(SaverSettings& settings, Registry& registry);

// "FrameLimit" beside the switches: how many frames a second the renderer draws at most, 0 for
// as many as the driver allows; 60 (FramePacer::kDefaultFrameLimit) when it is not there.
void ReadFrameLimit(SaverSettings& settings, Registry& registry);

}  // namespace velmoria
