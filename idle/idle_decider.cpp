#include "idle/idle_decider.h"

namespace velmoria {

std::string BlockerReason(const SaverBlockers& blockers) {
    if (blockers.ownSaverRuns) {
        return "the saver it started is still running";
    }
    if (blockers.saverPresent) {
        return "a saver is already running";
    }
    if (blockers.dialogOpen) {
        return "the settings dialog is open";
    }
    if (blockers.idleInhibited) {
        return "the session inhibits idle";
    }
    return {};
}

IdleDecision IdleDecider::OnIdle(const std::function<SaverBlockers()>& look) {
    IdleDecision decision;
    if (!armed_) {
        return decision;
    }
    armed_ = false;
    decision.why = BlockerReason(look());
    decision.launch = decision.why.empty();
    return decision;
}

}  // namespace velmoria
