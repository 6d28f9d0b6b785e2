// Idle time from a Wayland compositor's idle protocol: ext-idle-notify-v1 (sway 1.8 and later,
// KDE Plasma, Hyprland, ...), else KDE's org_kde_kwin_idle (KWin, and sway 1.7 as in Debian 12).
// Both honour the clients' idle inhibitors (a video player, a call) by design.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "idle/idle_source.h"

namespace velmoria {

// Null with `why` when there is no compositor or it offers neither protocol.
std::unique_ptr<IdleSource> OpenIdleSourceWayland(uint32_t idleMs, IdleEvents& events,
                                                  std::string& why);

}  // namespace velmoria
