// Reading a settings file whole, and replacing it through a temporary file and a rename.
#include "shell/posix/profile_file_posix.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "shell/posix/files_posix.h"
#include "shell/settings/profile_file.h"

namespace velmoria {

namespace {

bool ReadAll(const std::string& path, std::string& bytes, bool& missing) {
    missing = false;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT || errno == ENOTDIR;
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    char chunk[65536];
    while (ok) {
        const ssize_t n = read(fd, chunk, sizeof(chunk));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    return ok;
}

// Creates the missing folders above a file, readable by the user alone.
void MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
}

}  // namespace

std::string ReadPrivateProfilePosix(const std::string& section, const std::string& key,
                                    const std::string& file, TextCodec& codec) {
    std::string bytes;
    bool missing = false;
    if (!ReadAll(file, bytes, missing)) {
        bytes.clear();
    }
    return ReadProfileValue(bytes, section, key, codec);
}

bool WritePrivateProfilePosix(const std::string& section, const std::string& key,
                              const std::string& value, const std::string& file, TextCodec& codec) {
    std::string bytes;
    bool missing = false;
    // A file that is there but cannot be read (a folder, no permission) is not replaced; a
    // missing one is made.
    if (!ReadAll(file, bytes, missing) && !missing) {
        return false;
    }
    const ProfileUpdate update =
        UpdateProfileFile(missing ? nullptr : &bytes, section, key, value, codec);
    switch (update.outcome) {
        case ProfileUpdate::Outcome::Refused:
            return false;
        case ProfileUpdate::Outcome::Unchanged:
            return true;
        case ProfileUpdate::Outcome::Rewrite:
            break;
    }
    MakeParents(file);
    return ReplaceFilePosix(file, update.bytes);
}

}  // namespace velmoria
