// The contract of velmoria-idle's backends: each watches the desktop's idle time in its own way
// and reports only these events, from the GLib main loop it was opened on.
#pragma once

#include <string>

namespace velmoria {

class IdleEvents {
  public:
    virtual ~IdleEvents() = default;
    // The set time has passed without input.
    virtual void OnIdle() = 0;
    // Input again after OnIdle.
    virtual void OnActive() = 0;
    // The backend can watch no more (its compositor, X server or bus service went): why.
    virtual void OnLost(const std::string& why) = 0;
};

class IdleSource {
  public:
    virtual ~IdleSource() = default;
};

}  // namespace velmoria
