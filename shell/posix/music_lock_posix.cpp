// An flock on a file of our own, held until the process ends.
#include "shell/posix/music_lock_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "common/posix/xdg.h"
#include "shell/posix/files_posix.h"

namespace velmoria {

std::string MusicLockFolderPosix() {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat status;
    if (runtime != nullptr && runtime[0] == '/' && stat(runtime, &status) == 0 &&
        S_ISDIR(status.st_mode)) {
        return runtime;
    }
    const std::string folder = XdgFolder("XDG_CACHE_HOME", ".cache") + "/velmoria";
    CreateFolderPosix(folder);
    return folder;
}

bool TakeMusicLockPosix(const std::string& folder, const std::string& name) {
    const std::string path = folder + "/" + name;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) {
        return true;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        return true;  // the descriptor stays open: the lock lasts as long as the process
    }
    const bool held = errno == EWOULDBLOCK;
    close(fd);
    return !held;
}

}  // namespace velmoria
