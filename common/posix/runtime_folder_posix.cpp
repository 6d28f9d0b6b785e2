// Choosing the runtime folder.
#include "common/posix/runtime_folder_posix.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "common/posix/private_folder_posix.h"
#include "common/posix/xdg.h"

namespace velmoria {

namespace {

bool Private(const std::string& folder) {
    return PrivateFolderFaultPosix(folder, FolderPrivacy::NoAccessButUs).empty();
}

std::string UserRunFolder() {
    return "/run/user/" + std::to_string(geteuid());
}

}  // namespace

std::string ChooseRuntimeFolderPosix(const char* xdgRuntimeDir, const std::string& userRunFolder,
                                     const std::string& cacheFolder) {
    if (xdgRuntimeDir != nullptr && xdgRuntimeDir[0] == '/' && Private(xdgRuntimeDir)) {
        return xdgRuntimeDir;
    }
    if (Private(userRunFolder)) {
        return userRunFolder;
    }
    mkdir(cacheFolder.c_str(), 0700);
    const std::string own = cacheFolder + "/velmoria";
    mkdir(own.c_str(), 0700);
    return Private(own) ? own : "";
}

std::string RuntimeFolderPosix() {
    return ChooseRuntimeFolderPosix(std::getenv("XDG_RUNTIME_DIR"), UserRunFolder(),
                                    XdgFolder("XDG_CACHE_HOME", ".cache"));
}

void AdoptUserRuntimeFolderPosix() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if ((runtime == nullptr || runtime[0] == '\0') && Private(UserRunFolder())) {
        setenv("XDG_RUNTIME_DIR", UserRunFolder().c_str(), 1);
    }
}

}  // namespace velmoria
