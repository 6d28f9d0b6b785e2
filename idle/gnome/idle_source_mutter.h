// Idle time on GNOME, whose compositor offers no idle protocol to other programs: Mutter's
// org.gnome.Mutter.IdleMonitor on the session bus (an idle watch of the set time, and a
// user-active watch after each time it fires).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "idle/idle_source.h"

namespace velmoria {

// Null with `why` when there is no session bus or no IdleMonitor on it.
std::unique_ptr<IdleSource> OpenIdleSourceMutter(uint32_t idleMs, IdleEvents& events,
                                                 std::string& why);

// Whether org.gnome.SessionManager says idle is inhibited now (IsInhibited with the idle flag,
// 8): a video or a call in GNOME. False where there is no such service.
bool SessionInhibitsIdle();

}  // namespace velmoria
