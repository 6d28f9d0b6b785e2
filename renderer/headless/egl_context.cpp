// EGL on the surfaceless platform with a pbuffer surface.
#include "egl_context.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include "renderer/egl/desktop_gl_config_egl.h"
#include "renderer/gl.h"

namespace velmoria {

HeadlessContextEgl::HeadlessContextEgl(int32_t width, int32_t height)
    : width_(width), height_(height) {
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (getPlatformDisplay == nullptr) {
        error_ = "EGL: eglGetPlatformDisplayEXT is not available";
        return;
    }
    EGLDisplay display =
        getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, nullptr, nullptr)) {
        error_ = "EGL: cannot open Mesa's surfaceless display";
        return;
    }
    display_ = display;
    EGLConfig config = nullptr;
    if (const std::string fault = ChooseDesktopGlConfigEgl(display, EGL_PBUFFER_BIT, config);
        !fault.empty()) {
        error_ = "EGL: " + fault;
        return;
    }
    const EGLint surfaceAttributes[] = {EGL_WIDTH, width, EGL_HEIGHT, height, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, surfaceAttributes);
    if (surface == EGL_NO_SURFACE) {
        error_ = "EGL: cannot create a " + std::to_string(width) + "x" + std::to_string(height) +
                 " pbuffer";
        return;
    }
    surface_ = surface;
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (context == EGL_NO_CONTEXT) {
        error_ = "EGL: cannot create an OpenGL context";
        return;
    }
    context_ = context;
    if (!eglMakeCurrent(display, surface, surface, context)) {
        error_ = "EGL: cannot make the context current";
    }
}

HeadlessContextEgl::~HeadlessContextEgl() {
    if (display_ == nullptr) {
        return;
    }
    eglMakeCurrent(display_, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    if (context_ != nullptr) {
        eglDestroyContext(display_, context_);
    }
    if (surface_ != nullptr) {
        eglDestroySurface(display_, surface_);
    }
    eglTerminate(display_);
}

void HeadlessContextEgl::Swap() {
    eglSwapBuffers(display_, surface_);
    glFinish();
}

std::vector<uint8_t> HeadlessContextEgl::ReadRgb() const {
    std::vector<uint8_t> pixels(static_cast<size_t>(width_) * height_ * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width_, height_, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

}  // namespace velmoria
