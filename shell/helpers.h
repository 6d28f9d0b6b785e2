// Path and window helpers of the shell's main module: FileExists, FolderOf, ZoomOpen, ZoomClose.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmoria {

// Which characters end a folder name. Windows paths know "\" and the drive's ":"; on Linux "/"
// is a separator as well, so that both kinds of path find their folder.
enum class PathStyle { Windows, Posix };

#ifdef _WIN32
constexpr PathStyle kPlatformPathStyle = PathStyle::Windows;
#else
constexpr PathStyle kPlatformPathStyle = PathStyle::Posix;
#endif

// The point (screen pixels) the settings dialog zooms out of and into; 0 at program start.
extern int16_t ZoomX;
extern int16_t ZoomY;

// The folder part of a path: up to its last separator, without a trailing "\" (or "/").
std::string FolderOf(std::string_view path, PathStyle style = kPlatformPathStyle);

// True exactly when a file of that name (one trailing separator dropped) opens for reading.
bool FileExists(std::string_view path, PathStyle style = kPlatformPathStyle);

// Platform: opens an existing file (never a folder) for reading and closes it again.
bool CanOpenForReading(const std::string& path);

// The caption animation between (ZoomX, ZoomY) and the window; nothing on Linux.
void ZoomOpen(uintptr_t window);
void ZoomClose(uintptr_t window);

}  // namespace velmoria
