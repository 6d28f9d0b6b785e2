// When velmoria-idle starts the saver. The backends say only "idle" (the set time has passed
// without input) and "active" (input again); each idle period starts the saver at most once, and
// not while something says no. An idle period that something held off is spent as well: the next
// chance is after the next input and a whole idle time, as the compositors' own idle protocols
// do once an inhibitor goes.
#pragma once

#include <functional>
#include <string>

namespace velmoria {

// What may keep the saver from starting, looked at when an idle period begins.
struct SaverBlockers {
    bool ownSaverRuns = false;   // the saver we started has not ended
    bool saverPresent = false;   // a saver window of another process exists
    bool dialogOpen = false;     // the settings dialog is open
    bool idleInhibited = false;  // the session inhibits idle (a video, a call)
};

struct IdleDecision {
    bool launch = false;
    // Why not, when not launching; empty for a repeated idle event, which is no news.
    std::string why;
};

class IdleDecider {
  public:
    // The set time has passed without input. `look` is asked only when the period is new.
    IdleDecision OnIdle(const std::function<SaverBlockers()>& look);
    // Input: the next idle period may start the saver.
    void OnActive() { armed_ = true; }
    bool Armed() const { return armed_; }

  private:
    bool armed_ = true;
};

// The first blocker's reason, in the order of SaverBlockers; empty when none.
std::string BlockerReason(const SaverBlockers& blockers);

}  // namespace velmoria
