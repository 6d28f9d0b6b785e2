// The shell's start-up routines guard each step: an error skips the rest of that step only, and
// nothing is reported.
#pragma once

#include <exception>

namespace velmoria {

// Runs a step; true when it ran to its end.
template <typename Step>
bool Guarded(Step step) {
    try {
        step();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace velmoria
