// Lock files of our own.
#include "common/posix/lock_file_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

namespace velmoria {

int OpenLockFilePosix(const std::string& folder, const std::string& name, bool create,
                      std::string& fault) {
    fault.clear();
    if (folder.empty()) {
        fault = "no runtime folder of the user's own for " + name;
        return -1;
    }
    const std::string path = folder + "/" + name;
    const int flags =
        O_RDWR | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | (create ? O_CREAT : 0);
    const int fd = open(path.c_str(), flags, 0600);
    if (fd < 0) {
        if (errno == ENOENT && !create) {
            return -1;
        }
        fault = "refusing the lock file " + path + ": " +
                (errno == ELOOP ? std::string("it is a symbolic link") : std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        fault = "refusing the lock file " + path + ": it is not a regular file";
    } else if (info.st_uid != geteuid()) {
        fault = "refusing the lock file " + path + ": it belongs to another user";
    } else {
        return fd;
    }
    close(fd);
    return -1;
}

}  // namespace velmoria
