// FileExists' open test on Linux; the zoom animation has no counterpart here and does nothing.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../helpers.h"

namespace velmoria {

bool CanOpenForReading(const std::string& path) {
    // O_NONBLOCK: a FIFO must not hang the start-up. A folder opens on Linux, so it is refused.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool isFolder = fstat(fd, &info) != 0 || S_ISDIR(info.st_mode);
    close(fd);
    return !isFolder;
}

void ZoomOpen(uintptr_t) {}

void ZoomClose(uintptr_t) {}

}  // namespace velmoria
