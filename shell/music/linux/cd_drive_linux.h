// What the Linux CD-ROM driver says about a drive's disc.
#pragma once

#include <string>

namespace velmoria {

// False when the drive reports no disc or an open tray (CDROM_DRIVE_STATUS); true when it holds
// one, or cannot say (then reading the disc tells).
bool DiscInDriveLinux(const std::string& device);

}  // namespace velmoria
