// The renderer program, shared by its platforms: the entry sequence with the settings record,
// the set-up of the window around InitScene, and the frame loop that empties the window's queue
// before each frame. The window itself is the platform's (RendererWindow in platform.h).
#pragma once

#include <functional>

#include "renderer/frame_pacer.h"
#include "renderer/platform.h"
#include "renderer/saver_settings.h"

namespace velmoria {

// The one settings record; the window procedure reaches it through this pointer.
extern SaverSettings* saverSettings;

// Creates and fills the settings record, runs the window and its loop, frees the record.
// Returns the process's exit code: 0, or the platform's SetupFailureExitCode when the window
// could not be made.
int RunRenderer(RendererWindow& window, int showCommand);

// Creates the window and its context, sets up the scene at the window's size, shows the window,
// runs the frame loop until the window is gone and releases the context. Returns false at once
// when the window cannot be created.
bool RunRendererWindow(RendererWindow& window, SaverSettings& settings, int showCommand);

// Until the window quits: every pending message is handled first; only when none is left is a
// frame drawn and presented, when `pacer` says one is due at `nowUs` (a steady clock in
// microseconds); else the loop waits for the next message as long as the pacer says.
void RunFrameLoop(RendererWindow& window, const std::function<void()>& drawFrame, FramePacer& pacer,
                  const std::function<int64_t()>& nowUs);
// The same without a limit, on the steady clock.
void RunFrameLoop(RendererWindow& window, const std::function<void()>& drawFrame);

// Microseconds of the steady clock.
int64_t SteadyMicroseconds();

}  // namespace velmoria
