// The two programs' shared places on Windows: fixed paths on drive C.
#include "common/saver_contract.h"

namespace velmoria {

std::string WorkFolderPath() {
    return "C:\\q_sarn";
}

// The renderer's message names the file with this spelling when it cannot be opened.
std::string SpriteFilePath() {
    return "c:\\q_sarn\\Skorvane.bmp";
}

}  // namespace velmoria
