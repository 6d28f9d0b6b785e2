// The shell's file and folder operations on Linux.
#pragma once

#include <string>

namespace velmoria {

// Opens an existing file for reading and closes it; a folder is refused (it opens on Linux), and
// a FIFO never blocks.
bool CanOpenForReadingPosix(const std::string& path);

// mkdir with mode 0700, making the missing folders above it first (a fresh account may lack
// ~/.cache). The result, like CreateDirectoryA's, is that of the last folder.
bool CreateFolderPosix(const std::string& path);

// The folder of the running program (/proc/self/exe), "." when it cannot be read.
std::string ProgramFolderPosix();

}  // namespace velmoria
