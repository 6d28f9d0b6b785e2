// The XDG base-folder rule.
#include "common/posix/xdg.h"

#include <cstdlib>

namespace velmoria {

std::string XdgFolder(const char* variable, const char* fallback) {
    if (const char* folder = std::getenv(variable); folder != nullptr && folder[0] == '/') {
        return folder;
    }
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/" + fallback;
}

}  // namespace velmoria
