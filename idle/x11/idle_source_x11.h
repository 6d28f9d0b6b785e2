// Idle time on an X server without a saver daemon: the MIT-SCREEN-SAVER extension's idle time,
// which input and a player's XResetScreenSaver both set back to 0.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "idle/idle_source.h"

namespace velmoria {

// Null with `why` when there is no X display or it lacks the extension.
std::unique_ptr<IdleSource> OpenIdleSourceX11(uint32_t idleMs, IdleEvents& events,
                                              std::string& why);

}  // namespace velmoria
