// The private-folder rule.
#include "common/posix/private_folder_posix.h"

#include <sys/stat.h>
#include <unistd.h>

namespace velmoria {

std::string PrivateFolderFaultPosix(const std::string& folder, FolderPrivacy privacy) {
    struct stat info {};
    if (folder.empty() || lstat(folder.c_str(), &info) != 0) {
        return "it cannot be read";
    }
    if (S_ISLNK(info.st_mode)) {
        return "it is a symbolic link";
    }
    if (!S_ISDIR(info.st_mode)) {
        return "it is not a folder";
    }
    if (info.st_uid != geteuid()) {
        return "it belongs to another user";
    }
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) {
        return "others can write in it";
    }
    if (privacy == FolderPrivacy::NoAccessButUs && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0) {
        return "others can reach it";
    }
    return "";
}

}  // namespace velmoria
