// The desktop session's music lock on Linux: hosted copies run one per monitor, one plays.
#pragma once

#include <string>

namespace velmoria {

// Takes an flock on `folder`/`name` (the runtime folder of the title registry, RuntimeFolderPosix)
// for the rest of the process's life, so it goes with the process however that ends (and is not
// handed to the programs it starts). False while another process holds it; true when no lock file
// can be had: music twice rather than none.
bool TakeMusicLockPosix(const std::string& folder, const std::string& name);

}  // namespace velmoria
