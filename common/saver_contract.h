// What the shell and the renderer agree on: they share no code at run time and meet only through
// the sprite file, which the shell writes before it starts the renderer, and the renderer's
// window, which the shell looks for by its title.
#pragma once

#include <string>

namespace velmoria {

// The renderer's full-screen window: its title (looked for by the shell) and its class.
inline constexpr char kRendererWindowTitle[] = "Skorvane_VC";
inline constexpr char kRendererWindowClass[] = "OpenGL";

// The work folder that holds the sprite file: "C:\q_sarn" on Windows; on Linux "q_sarn" in the
// XDG cache folder ($XDG_CACHE_HOME when absolute, else ~/.cache).
std::string WorkFolderPath();

// The sprite file in the work folder: "c:\q_sarn\Skorvane.bmp" on Windows.
std::string SpriteFilePath();

}  // namespace velmoria
