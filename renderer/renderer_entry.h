// The renderer program's entry, shared by both platforms: the settings record, the window with
// its loop, and exit code 0 on every path.
#pragma once

#include "saver_settings.h"

namespace velmoria {

// The one settings record; the window procedure reaches it through this pointer.
extern SaverSettings* saverSettings;

// Creates and fills the settings record, runs the window and its loop, frees the record.
// Returns the process's exit code, which is always 0.
int RunRenderer(int showCommand);

// Sets up the window and the GL context, runs the loop until the window is gone and tears the
// context down (implemented per platform). Returns at once when a set-up step fails.
void RunRendererWindow(SaverSettings& settings, int showCommand);

}  // namespace velmoria
