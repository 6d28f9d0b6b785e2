// The renderer's EGL configuration.
#include "renderer/egl/desktop_gl_config_egl.h"

namespace velmoria {

std::string ChooseDesktopGlConfigEgl(EGLDisplay display, EGLint surfaceType, EGLConfig& config) {
    if (!eglBindAPI(EGL_OPENGL_API)) {
        return "desktop OpenGL is not available";
    }
    const EGLint attributes[] = {EGL_SURFACE_TYPE,
                                 surfaceType,
                                 EGL_RENDERABLE_TYPE,
                                 EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,
                                 8,
                                 EGL_GREEN_SIZE,
                                 8,
                                 EGL_BLUE_SIZE,
                                 8,
                                 EGL_NONE};
    EGLint count = 0;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1) {
        return "no 24-bit OpenGL configuration for this surface type";
    }
    return "";
}

}  // namespace velmoria
