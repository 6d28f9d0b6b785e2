// Lock files for our own windows' titles.
#include "common/posix/window_registry_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "common/posix/xdg.h"

namespace velmoria {

std::string RuntimeFolderPosix() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status;
    if (runtime != nullptr && runtime[0] == '/' && stat(runtime, &status) == 0 &&
        S_ISDIR(status.st_mode)) {
        return runtime;
    }
    const std::string cache = XdgFolder("XDG_CACHE_HOME", ".cache");
    mkdir(cache.c_str(), 0700);
    const std::string folder = cache + "/velmoria";
    mkdir(folder.c_str(), 0700);
    return folder;
}

std::string WindowRegistryFileName(const std::string& title) {
    std::string name = "velmoria-window-";
    for (const unsigned char c : title) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
            c == '_') {
            name += static_cast<char>(c);
        } else {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", c);
            name += escaped;
        }
    }
    return name + ".lock";
}

AnnouncedWindowPosix::AnnouncedWindowPosix(const std::string& folder, const std::string& title) {
    const std::string path = folder + "/" + WindowRegistryFileName(title);
    fd_ = open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // Shared: several holders of one title may live at once, as several windows may.
    if (fd_ >= 0 && flock(fd_, LOCK_SH | LOCK_NB) != 0) {
        close(fd_);
        fd_ = -1;
    }
}

AnnouncedWindowPosix::~AnnouncedWindowPosix() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

bool AnnouncedWindowExistsPosix(const std::string& folder, const std::string& title) {
    const std::string path = folder + "/" + WindowRegistryFileName(title);
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return false;  // never announced
    }
    // An exclusive lock is refused while anyone holds the shared one.
    const bool held = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
    close(fd);
    return held;
}

}  // namespace velmoria
