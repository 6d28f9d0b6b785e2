// The drive status ioctl: cheap enough for every poll, and it needs no disc to answer.
#include "shell/music/linux/cd_drive_linux.h"

#include <fcntl.h>
// linux/cdrom.h uses INT_MAX without including limits.h.
#include <linux/cdrom.h>
#include <sys/ioctl.h>
#include <unistd.h>
#include <climits>

namespace velmoria {

bool DiscInDriveLinux(const std::string& device) {
    // O_NONBLOCK: the drive opens without a disc.
    const int fd = open(device.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const int status = ioctl(fd, CDROM_DRIVE_STATUS, CDSL_CURRENT);
    close(fd);
    return status != CDS_NO_DISC && status != CDS_TRAY_OPEN;
}

}  // namespace velmoria
