// Whether a folder is the user's own to keep files in: the rule for the work folder and for
// the runtime folder that holds our lock files.
#pragma once

#include <string>

namespace velmoria {

enum class FolderPrivacy {
    NoWritersButUs,  // others may look in, never write (the work folder)
    NoAccessButUs,   // others may not even look in (the runtime folder, as XDG asks: 0700)
};

// Why `folder` is not the user's own; empty when it is a directory (not a link) that the user
// owns and that nobody else can reach as `privacy` asks.
std::string PrivateFolderFaultPosix(const std::string& folder, FolderPrivacy privacy);

}  // namespace velmoria
