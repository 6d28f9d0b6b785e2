// The Linux profile functions: the rules of shell/settings/profile_file.h over real files, read
// whole and replaced through a temporary file beside them, so that a failed write never loses the
// rest.
#pragma once

#include <string>

#include "shell/settings/text_codec.h"

namespace velmoria {

// GetPrivateProfileStringA's stand-in; a missing or unreadable file reads as empty.
std::string ReadPrivateProfilePosix(const std::string& section, const std::string& key,
                                    const std::string& file, TextCodec& codec);

// WritePrivateProfileStringA's stand-in. Creates the missing folders above the file (0700),
// writes through symbolic links, keeps the file's mode, never blocks on a FIFO, and refuses a
// file the user may not write.
bool WritePrivateProfilePosix(const std::string& section, const std::string& key,
                              const std::string& value, const std::string& file, TextCodec& codec);

}  // namespace velmoria
