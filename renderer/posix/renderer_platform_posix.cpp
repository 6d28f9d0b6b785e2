// The renderer's services on Linux without a window.
#include "renderer/posix/renderer_platform_posix.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "common/dib_software_converter.h"
#include "common/posix/xdg.h"
#include "renderer/frame_pacer.h"

namespace velmoria {

namespace {

class MappedFilePosix final : public ReadOnlyFile {
  public:
    MappedFilePosix(void* view, size_t size) : view_(view), size_(size) {}
    ~MappedFilePosix() override { munmap(view_, size_); }
    const uint8_t* Data() const override { return static_cast<const uint8_t*>(view_); }
    size_t Size() const override { return size_; }

  private:
    void* view_;
    size_t size_;
};

}  // namespace

std::unique_ptr<ReadOnlyFile> RendererPlatformPosix::MapFile(const char* path) {
    const int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    void* view = MAP_FAILED;
    // An empty file cannot be mapped; like a missing one (or a folder) it is an open failure.
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0) {
        view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    close(fd);  // the mapping keeps the file
    if (view == MAP_FAILED) {
        return nullptr;
    }
    return std::make_unique<MappedFilePosix>(view, static_cast<size_t>(info.st_size));
}

std::unique_ptr<Bgr24Converter> RendererPlatformPosix::NewBgr24Converter() {
    return std::make_unique<SoftwareBgr24Converter>();
}

std::string RegistryFilePathPosix() {
    if (const char* explicitPath = std::getenv("VELMORIA_REGISTRY");
        explicitPath != nullptr && explicitPath[0] != '\0') {
        return explicitPath;
    }
    return XdgFolder("XDG_CONFIG_HOME", ".config") + "/velmoria/registry.reg";
}

Registry& RendererPlatformPosix::CurrentUserRegistry() {
    if (registry_ == nullptr) {
        registry_ = std::make_unique<RegistryFile>(RegistryFile::Load(RegistryFilePathPosix()));
    }
    return *registry_;
}

void WriteErrorTextPosix(const char* text) {
    const size_t length = std::strlen(text);
    std::fprintf(stderr, "Error: %s%s", text, length > 0 && text[length - 1] == '\n' ? "" : "\n");
    std::fflush(stderr);
}

void RendererPlatformPosix::ShowErrorBox(const char* text) {
    WriteErrorTextPosix(text);
}

void RendererPlatformPosix::WriteDiagnostic(const char* line) {
    std::fprintf(stderr, "%s: %s\n", program_invocation_short_name, line);
}

// The shell passes a screen-saver daemon's frame limit option on in VELMORIA_FRAME_LIMIT.
int64_t RendererPlatformPosix::FrameLimitOverride() {
    const char* text = std::getenv("VELMORIA_FRAME_LIMIT");
    if (text == nullptr) {
        return -1;
    }
    const int64_t limit = FrameLimitFromText(text);
    if (limit < 0) {
        WriteDiagnostic("VELMORIA_FRAME_LIMIT is no number of frames a second: ignored");
    }
    return limit;
}

}  // namespace velmoria
