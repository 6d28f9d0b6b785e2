// The two programs' shared places on Linux: the work folder in the XDG cache folder.
#include "common/posix/xdg.h"
#include "common/saver_contract.h"

namespace velmoria {

std::string WorkFolderPath() {
    return XdgFolder("XDG_CACHE_HOME", ".cache") + "/q_sarn";
}

std::string SpriteFilePath() {
    return WorkFolderPath() + "/Skorvane.bmp";
}

}  // namespace velmoria
