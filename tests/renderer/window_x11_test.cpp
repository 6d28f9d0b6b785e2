// The renderer's X11 window in this process, on the X server DISPLAY names: queued close requests
// destroy it once and no frame is drawn after that; a window manager's resize moves the viewport
// and projection along.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "assets/particle_sprite.h"
#include "renderer/gl.h"
#include "renderer/particles.h"
#include "renderer/renderer_program.h"
#include "renderer/scene.h"
#include "renderer/texture.h"
#include "renderer/x11/renderer_platform_x11.h"
#include "renderer/x11/renderer_window_x11.h"

// Xlib after GoogleTest: its None and Bool macros would break GoogleTest's names.
#include <X11/extensions/Xfixes.h>
#include "common/x11/x11_support.h"

namespace velmoria {
namespace {

// The platform of the renderer program, counting its diagnostics (X errors among them).
class CountingPlatformX11 final : public RendererPlatform {
  public:
    explicit CountingPlatformX11(const RendererWindowX11& window) : real_(window) {}
    std::unique_ptr<ReadOnlyFile> MapFile(const char* path) override { return real_.MapFile(path); }
    std::unique_ptr<Bgr24Converter> NewBgr24Converter() override {
        return real_.NewBgr24Converter();
    }
    Registry& CurrentUserRegistry() override { return real_.CurrentUserRegistry(); }
    void ShowErrorBox(const char* text) override { boxes.push_back(text); }
    void HideCursor() override { real_.HideCursor(); }
    void WriteDiagnostic(const char* line) override { diagnostics.push_back(line); }

    std::vector<std::string> boxes;
    std::vector<std::string> diagnostics;

  private:
    RendererPlatformX11 real_;
};

class WindowX11 : public ::testing::Test {
  protected:
    void SetUp() override {
        watcher_ = std::getenv("DISPLAY") != nullptr ? XOpenDisplay(nullptr) : nullptr;
        if (watcher_ == nullptr) {
            GTEST_SKIP() << "no X server";
        }
        previous_ = &RendererPlatform::Current();
        RendererPlatform::Connect(&platform_);
        particleSystem = *std::make_unique<ParticleSystem>();
        spriteTexture = Texture();
        sprite_ =
            (std::filesystem::temp_directory_path() / "velmoria-window-x11-sprite.bmp").string();
        const std::vector<uint8_t> bmp = MakeParticleSpriteBmp();
        std::FILE* file = std::fopen(sprite_.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(bmp.data(), 1, bmp.size(), file);
        std::fclose(file);
        ASSERT_TRUE(window_.Create(settings_, width_, height_));
        InitScene(width_, height_, sprite_.c_str());
        window_.Show(1);
        // Another client's view of the window: its destruction, counted.
        XSelectInput(watcher_, DefaultRootWindow(watcher_), SubstructureNotifyMask);
        XSync(watcher_, False);
    }
    void TearDown() override {
        if (watcher_ == nullptr) {
            return;
        }
        window_.TearDown();
        RendererPlatform::Connect(previous_);
        XCloseDisplay(watcher_);
        std::filesystem::remove(sprite_);
    }

    // Handles every message now queued, as the loop does before a frame.
    void HandlePending() {
        XSync(window_.display(), False);
        while (window_.HandleNextMessage() == RendererWindow::Message::Handled) {
        }
    }

    int DestructionsSeen(Window window) {
        XSync(watcher_, False);
        int count = 0;
        while (XPending(watcher_) > 0) {
            XEvent event;
            XNextEvent(watcher_, &event);
            count += event.type == DestroyNotify && event.xdestroywindow.window == window;
        }
        return count;
    }

    Display* watcher_ = nullptr;
    RendererWindowX11 window_;
    CountingPlatformX11 platform_{window_};
    RendererPlatform* previous_ = nullptr;
    SaverSettings settings_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    std::string sprite_;
};

TEST_F(WindowX11, QueuedCloseRequestsDestroyItOnceAndNoFrameFollows) {
    const Window window = window_.window();
    ASSERT_NE(window, static_cast<Window>(None));
    for (int i = 0; i < 3; ++i) {
        SendDeleteWindowX11(window_.display(), window);
    }
    int frames = 0;
    int framesWithoutWindow = 0;
    RunFrameLoop(window_, [&] {
        ++frames;
        framesWithoutWindow += window_.window() == None;
        if (frames > 1000) {
            std::abort();  // the loop never ended
        }
    });
    EXPECT_EQ(framesWithoutWindow, 0);
    EXPECT_EQ(DestructionsSeen(window), 1);
    EXPECT_TRUE(platform_.diagnostics.empty()) << platform_.diagnostics.front();
}

TEST_F(WindowX11, ViewportAndProjectionFollowTheWindowsSize) {
    // What a window manager's full screen does: another client resizes the window.
    XResizeWindow(watcher_, window_.window(), 640, 400);
    XSync(watcher_, False);
    HandlePending();
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 400);
    GLdouble projection[16] = {};
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    EXPECT_NEAR(projection[0], f / (640.0 / 400.0), 1e-6);
    EXPECT_NEAR(projection[5], f, 1e-6);
    GLint matrixMode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
    EXPECT_EQ(matrixMode, GL_MODELVIEW);
}

// Hosted by a screen-saver daemon: the renderer draws into the window XSCREENSAVER_WINDOW names
// (here a plain window of another client), follows its size, and ends when it is destroyed.
TEST(WindowX11Hosted, DrawsIntoTheHostFollowsItsSizeAndEndsWithIt) {
    Display* daemon = std::getenv("DISPLAY") != nullptr ? XOpenDisplay(nullptr) : nullptr;
    if (daemon == nullptr) {
        GTEST_SKIP() << "no X server";
    }
    const Window host =
        XCreateSimpleWindow(daemon, DefaultRootWindow(daemon), 10, 10, 320, 200, 0, 0, 0);
    XMapWindow(daemon, host);
    XSync(daemon, False);
    setenv("XSCREENSAVER_WINDOW",
           ("0x" +
            [&] {
                char hex[32];
                std::snprintf(hex, sizeof hex, "%lx", host);
                return std::string(hex);
            }())
               .c_str(),
           1);
    RendererWindowX11 window;
    CountingPlatformX11 platform(window);
    RendererPlatform* previous = &RendererPlatform::Current();
    RendererPlatform::Connect(&platform);
    SaverSettings settings;
    int32_t width = 0;
    int32_t height = 0;
    ASSERT_TRUE(window.Create(settings, width, height));
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
    // The drawing window is the host, or a child of it where the host's visual has no GL.
    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    XQueryTree(daemon, window.window(), &root, &parent, &children, &count);
    if (children != nullptr) {
        XFree(children);
    }
    EXPECT_TRUE(window.window() == host || parent == host);

    // The scene's set-up hides the pointer over its own window only: over the daemon's window it
    // stays the daemon's, which nothing would give back after the run.
    platform.HideCursor();
    XWarpPointer(daemon, None, host, 0, 0, 0, 0, 50, 50);
    XSync(daemon, False);
    XSync(window.display(), False);
    XFixesCursorImage* cursor = XFixesGetCursorImage(daemon);
    ASSERT_NE(cursor, nullptr);
    bool visible = false;
    for (int i = 0; i < cursor->width * cursor->height; ++i) {
        visible = visible || (cursor->pixels[i] >> 24) != 0;
    }
    XFree(cursor);
    EXPECT_TRUE(visible) << "the pointer over the daemon's window was hidden";

    XResizeWindow(daemon, host, 400, 300);
    XSync(daemon, False);
    XSync(window.display(), False);
    while (window.HandleNextMessage() == RendererWindow::Message::Handled) {
    }
    GLint viewport[4] = {0, 0, 0, 0};
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 400);
    EXPECT_EQ(viewport[3], 300);

    // The daemon ends the saver between two frames: the next swap meets a destroyed window.
    XDestroyWindow(daemon, host);
    XSync(daemon, False);
    glClear(GL_COLOR_BUFFER_BIT);
    window.SwapBuffers();
    XSync(window.display(), False);
    RendererWindow::Message message = RendererWindow::Message::Handled;
    for (int i = 0; i < 100 && message != RendererWindow::Message::Quit; ++i) {
        message = window.HandleNextMessage();
    }
    EXPECT_EQ(message, RendererWindow::Message::Quit);
    window.TearDown();
    EXPECT_TRUE(platform.diagnostics.empty()) << platform.diagnostics.front();
    unsetenv("XSCREENSAVER_WINDOW");
    RendererPlatform::Connect(previous);
    XCloseDisplay(daemon);
}

}  // namespace
}  // namespace velmoria
