// The desktop session's music lock on Linux: hosted copies run one per monitor, one plays.
#pragma once

#include <string>

namespace velmoria {

// Takes an flock on `folder`/`name` (the runtime folder, RuntimeFolderPosix) for the rest of the
// process's life, so it goes with the process however that ends (and is not handed to the
// programs it starts). False while another process holds it. True when no lock file can be had,
// with `fault` saying why (no runtime folder, a file that is not ours): music twice rather than
// none.
bool TakeMusicLockPosix(const std::string& folder, const std::string& name, std::string& fault);

}  // namespace velmoria
