// The EGL configuration both of the renderer's EGL contexts use (the Wayland window's and the
// headless one): desktop OpenGL, so the scene's fixed-function calls stay as they are, and 8 bits
// per colour with no depth, stencil or alpha asked for, like the X11 and Win32 pixel formats.
#pragma once

#include <EGL/egl.h>

#include <string>

namespace velmoria {

// Binds desktop OpenGL and chooses such a configuration for `surfaceType` (EGL_WINDOW_BIT,
// EGL_PBUFFER_BIT). Empty when done; otherwise what failed.
std::string ChooseDesktopGlConfigEgl(EGLDisplay display, EGLint surfaceType, EGLConfig& config);

}  // namespace velmoria
