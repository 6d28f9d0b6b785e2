// The shell's file and folder operations on Linux.
#include "shell/posix/files_posix.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmoria {

bool CanOpenForReadingPosix(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat info {};
    const bool isFolder = fstat(fd, &info) != 0 || S_ISDIR(info.st_mode);
    close(fd);
    return !isFolder;
}

bool CreateFolderPosix(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
    return mkdir(path.c_str(), 0700) == 0;
}

std::string ProgramFolderPosix() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    if (n <= 0) {
        return ".";
    }
    const std::string program(path, static_cast<size_t>(n));
    const size_t slash = program.rfind('/');
    return slash == 0 ? "/" : program.substr(0, slash);
}

}  // namespace velmoria
