// LoadDibFile on Linux: a read-only mapping of the file and our own pixel conversion.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "../dib_loader.h"
#include "../dib_software_converter.h"

namespace velmoria {

RgbImage* LoadDibFile(const char* fileName, DibMessageSink report, void* context) {
    const int fd = fileName != nullptr ? open(fileName, O_RDONLY | O_CLOEXEC) : -1;
    struct stat info {};
    void* view = MAP_FAILED;
    // An empty file cannot be mapped; like a missing one it is an open failure.
    if (fd >= 0 && fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    RgbImage* image = nullptr;
    DibStatus status = DibStatus::Ok;
    if (view != MAP_FAILED) {
        SoftwareBgr24Converter converter;
        const DibLoadResult result = LoadDibFromMemory(
            static_cast<const uint8_t*>(view), static_cast<size_t>(info.st_size), converter);
        image = result.image;
        status = result.status;
        munmap(view, static_cast<size_t>(info.st_size));
    }
    if (fd >= 0) {
        close(fd);
    }
    if (view == MAP_FAILED) {
        report(OpenFailureMessage(fileName).c_str(), context);
    } else if (image == nullptr) {
        report(DibStatusMessage(status), context);
    }
    return image;
}

}  // namespace velmoria
