// Path and window helpers of the shell's main module: FileExists, FolderOf, ZoomOpen, ZoomClose.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmoria {

// Which characters end a folder name: "\" and the drive's ":" on Windows, "/" alone on Linux
// (where ":" and "\" are characters of a name like any other).
enum class PathStyle { Windows, Posix };

// How a platform writes paths.
struct PathSyntax {
    PathStyle style;
    // True for a byte that starts a two-byte character of the narrow code page, whose second
    // byte may look like a separator; null when every separator byte is a character of its own.
    bool (*isLeadByte)(unsigned char) = nullptr;
};

// The point (screen pixels) the settings dialog zooms out of and into; 0 at program start.
extern int16_t ZoomX;
extern int16_t ZoomY;

// The folder part of a path: up to its last separator, without a trailing "\" (or "/"); a file
// directly in the Linux root has the folder "/".
std::string FolderOf(std::string_view path, const PathSyntax& syntax);
// The same with the platform's syntax.
std::string FolderOf(std::string_view path);

// True exactly when a file of that name (one trailing separator dropped) opens for reading.
bool FileExists(std::string_view path);

// The caption animation between (ZoomX, ZoomY) and the window; nothing on Linux.
void ZoomOpen(uintptr_t window);
void ZoomClose(uintptr_t window);

}  // namespace velmoria
