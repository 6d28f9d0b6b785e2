// FolderOf and FileExists: the path rules, shared by both platforms; the zoom through the
// platform.
#include "helpers.h"

#include "shell/platform.h"

namespace velmoria {

int16_t ZoomX = 0;
int16_t ZoomY = 0;

namespace {

bool IsFolderEnd(char c, PathStyle style) {
    return c == '\\' || (style == PathStyle::Posix && c == '/');
}

}  // namespace

std::string FolderOf(std::string_view path, const PathSyntax& syntax) {
    const PathStyle style = syntax.style;
    size_t keep = 0;
    for (size_t i = path.size(); i > 0; --i) {
        const char c = path[i - 1];
        if (c == ':' || IsFolderEnd(c, style)) {
            keep = i;
            break;
        }
    }
    std::string folder(path.substr(0, keep));
    if (!folder.empty() && IsFolderEnd(folder.back(), style)) {
        folder.pop_back();
    }
    // A file directly in the Linux root keeps "/" as its folder rather than the empty text.
    if (style == PathStyle::Posix && folder.empty() && keep == 1 && path[0] == '/') {
        folder = "/";
    }
    return folder;
}

std::string FolderOf(std::string_view path) {
    return FolderOf(path, ShellPlatform::Current().Paths());
}

bool FileExists(std::string_view path) {
    ShellPlatform& platform = ShellPlatform::Current();
    std::string name(path);
    if (!name.empty() && IsFolderEnd(name.back(), platform.Paths().style)) {
        name.pop_back();
    }
    if (name.empty()) {
        return false;
    }
    return platform.CanOpenForReading(name);
}

void ZoomOpen(uintptr_t window) {
    ShellPlatform::Current().AnimateZoom(window, ZoomX, ZoomY, true);
}

void ZoomClose(uintptr_t window) {
    ShellPlatform::Current().AnimateZoom(window, ZoomX, ZoomY, false);
}

}  // namespace velmoria
