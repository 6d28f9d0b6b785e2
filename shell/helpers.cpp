// FolderOf and FileExists: the path rules, shared by both platforms; the zoom through the
// platform.
#include "shell/helpers.h"

#include "shell/platform.h"

namespace velmoria {

int16_t ZoomX = 0;
int16_t ZoomY = 0;

namespace {

// The separators: "\" and the drive's ":" on Windows, "/" alone on Linux.
bool IsSeparator(char c, PathStyle style) {
    return style == PathStyle::Windows ? c == '\\' || c == ':' : c == '/';
}

// The separator that may trail a folder name and is dropped.
bool IsFolderEnd(char c, PathStyle style) {
    return style == PathStyle::Windows ? c == '\\' : c == '/';
}

constexpr size_t kNone = std::string_view::npos;

struct PathScan {
    size_t lastSeparator = kNone;  // where the last one-byte separator character is
    size_t lastCharacter = kNone;  // where the last character starts
    bool lastIsSingleByte = false;
};

// Walks the path a character at a time: the second byte of a two-byte character is never
// taken for a separator, whatever its value.
PathScan Scan(std::string_view path, const PathSyntax& syntax) {
    PathScan scan;
    for (size_t i = 0; i < path.size();) {
        scan.lastCharacter = i;
        const bool twoBytes = syntax.isLeadByte != nullptr && i + 1 < path.size() &&
                              syntax.isLeadByte(static_cast<unsigned char>(path[i]));
        scan.lastIsSingleByte = !twoBytes;
        if (!twoBytes && IsSeparator(path[i], syntax.style)) {
            scan.lastSeparator = i;
        }
        i += twoBytes ? 2 : 1;
    }
    return scan;
}

}  // namespace

std::string FolderOf(std::string_view path, const PathSyntax& syntax) {
    const PathScan scan = Scan(path, syntax);
    if (scan.lastSeparator == kNone) {
        return {};
    }
    std::string folder(path.substr(0, scan.lastSeparator + 1));
    if (IsFolderEnd(folder.back(), syntax.style)) {
        folder.pop_back();
    }
    // A file directly in the Linux root keeps "/" as its folder rather than the empty text.
    if (syntax.style == PathStyle::Posix && folder.empty()) {
        folder = "/";
    }
    return folder;
}

std::string FolderOf(std::string_view path) {
    return FolderOf(path, ShellPlatform::Current().Paths());
}

bool FileExists(std::string_view path) {
    ShellPlatform& platform = ShellPlatform::Current();
    const PathSyntax syntax = platform.Paths();
    const PathScan scan = Scan(path, syntax);
    std::string name(path);
    if (scan.lastCharacter != kNone && scan.lastIsSingleByte &&
        IsFolderEnd(name.back(), syntax.style)) {
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
