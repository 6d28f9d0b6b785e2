// The XDG base folders the shell keeps its files in.
#pragma once

#include <cstdlib>
#include <string>

namespace velmoria {

// $variable when it is absolute (a relative one is ignored, as the XDG rules ask), else
// $HOME followed by `fallback`.
inline std::string XdgFolder(const char* variable, const char* fallback) {
    if (const char* dir = std::getenv(variable); dir != nullptr && dir[0] == '/') {
        return dir;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + fallback;
}

}  // namespace velmoria
