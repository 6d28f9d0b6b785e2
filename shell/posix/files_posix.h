// The shell's file and folder operations on Linux.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "shell/platform.h"

namespace velmoria {

// Opens an existing file for reading and closes it; a folder is refused (it opens on Linux), and
// a FIFO never blocks.
bool CanOpenForReadingPosix(const std::string& path);

// mkdir with mode 0700, making the missing folders above it first (a fresh account may lack
// ~/.cache). The result, like CreateDirectoryA's, is that of the last folder.
bool CreateFolderPosix(const std::string& path);

// Replaces a file's contents through a temporary file in the same folder, renamed into place:
// through a symbolic link, keeping the file's mode (0644 for a new one), refusing a file the
// user may not write. False when it could not be written; the file is then as it was.
bool ReplaceFilePosix(const std::string& path, std::string_view bytes);

// Replaces a file of the work folder as ReplaceFilePosix does, but only inside a folder that is
// a directory (not a link) of the user's own that neither group nor others can write, never
// through a link planted at the file's name (the name itself is replaced), and with mode 0644.
// False, with one line on stderr, when the folder is refused or the write fails.
bool ReplacePrivateFilePosix(const std::string& path, std::string_view bytes);

// posix_spawn of `path` with no arguments and the shell's environment, not waited for.
std::unique_ptr<StartedProgram> StartProgramPosix(const std::string& path);

// The folder of the running program (/proc/self/exe), "." when it cannot be read.
std::string ProgramFolderPosix();

}  // namespace velmoria
