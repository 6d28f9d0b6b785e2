// The sprite file on Linux: in the work folder under $XDG_CACHE_HOME, else ~/.cache.
#include <cstdlib>

#include "../scene.h"

namespace velmoria {

std::string SpriteFilePath() {
    // A relative XDG_CACHE_HOME is ignored, as the XDG rules ask.
    if (const char* cache = std::getenv("XDG_CACHE_HOME"); cache && cache[0] == '/') {
        return std::string(cache) + "/q_sarn/Skorvane.bmp";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.cache/q_sarn/Skorvane.bmp";
}

}  // namespace velmoria
