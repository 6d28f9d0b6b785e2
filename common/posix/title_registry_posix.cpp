// Lock files for our own windows' titles.
#include "common/posix/title_registry_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "common/posix/lock_file_posix.h"

namespace velmoria {

namespace {

// The whole file, as one lock of `type`.
struct flock WholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

}  // namespace

std::string TitleRegistryFileName(const std::string& title) {
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

TitleRegistryEntryPosix::TitleRegistryEntryPosix(const std::string& folder,
                                                 const std::string& title) {
    fd_ = OpenLockFilePosix(folder, TitleRegistryFileName(title), true, fault_);
    // A read lock: several holders of one title may live at once, as several windows may. It
    // belongs to this open file description, so no lock of another descriptor interferes.
    struct flock lock = WholeFile(F_RDLCK);
    if (fd_ >= 0 && fcntl(fd_, F_OFD_SETLK, &lock) != 0) {
        fault_ = "the title " + title + " is locked by another program";
        close(fd_);
        fd_ = -1;
    }
}

TitleRegistryEntryPosix::~TitleRegistryEntryPosix() {
    if (fd_ >= 0) {
        close(fd_);
    }
}

TitleRegistryState TitleRegistryStatePosix(const std::string& folder, const std::string& title,
                                           std::string& fault) {
    const int fd = OpenLockFilePosix(folder, TitleRegistryFileName(title), false, fault);
    if (fd < 0) {
        return fault.empty() ? TitleRegistryState::Absent : TitleRegistryState::Refused;
    }
    // Asks which lock a write lock would meet, taking none: a read lock is a held title.
    struct flock lock = WholeFile(F_WRLCK);
    const bool asked = fcntl(fd, F_OFD_GETLK, &lock) == 0;
    close(fd);
    return asked && lock.l_type == F_RDLCK ? TitleRegistryState::Present
                                           : TitleRegistryState::Absent;
}

}  // namespace velmoria
