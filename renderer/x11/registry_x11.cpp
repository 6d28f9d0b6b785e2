// The registry on Linux: the .reg file at $VELMORIA_REGISTRY, else
// $XDG_CONFIG_HOME/velmoria/registry.reg, else ~/.config/velmoria/registry.reg. Read once.
#include <cstdlib>
#include <string>

#include "../registry_file.h"

namespace velmoria {

namespace {

std::string RegistryPath() {
    if (const char* explicitPath = std::getenv("VELMORIA_REGISTRY");
        explicitPath && *explicitPath) {
        return explicitPath;
    }
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
        return std::string(config) + "/velmoria/registry.reg";
    }
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + "/.config/velmoria/registry.reg";
}

}  // namespace

Registry& PlatformRegistry() {
    static RegistryFile registry = RegistryFile::Load(RegistryPath());
    return registry;
}

}  // namespace velmoria
