// An flock on a file of our own, held until the process ends.
#include "shell/posix/music_lock_posix.h"

#include <errno.h>
#include <sys/file.h>
#include <unistd.h>

#include "common/posix/lock_file_posix.h"

namespace velmoria {

bool TakeMusicLockPosix(const std::string& folder, const std::string& name, std::string& fault) {
    const int fd = OpenLockFilePosix(folder, name, true, fault);
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
