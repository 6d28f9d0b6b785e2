// The sprite file on Windows: the fixed path the shell writes.
#include "../scene.h"

namespace velmoria {

std::string SpriteFilePath() {
    return "c:\\q_sarn\\Skorvane.bmp";
}

}  // namespace velmoria
