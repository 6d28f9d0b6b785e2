// window-frame-bench x11|wayland [FRAMES] [SPRITE]: the renderer's own window and loop on one
// window system: X11 (GLX on DISPLAY's server) or Wayland (EGL on WAYLAND_DISPLAY's layer-shell
// compositor). After 30 frames to settle, it reports over FRAMES frames (default 300) the median
// cost of a frame, DrawFrame and the swap that presents it, and the frames per second the loop
// reached, which a compositor's pacing may cap. bench/wayland_x11_frames.sh runs it on both.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "renderer/frame.h"
#include "renderer/platform.h"
#include "renderer/posix/renderer_platform_posix.h"
#include "renderer/scene.h"
#include "renderer/wayland/renderer_window_wayland.h"
#include "renderer/x11/renderer_platform_x11.h"
#include "renderer/x11/renderer_window_x11.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSettlingFrames = 30;

double Milliseconds(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// Runs the loop in the renderer's order, timing each frame's drawing and swap apart from the
// waits for input and for the compositor. False when the window ends before the frames are done.
bool Measure(velmoria::RendererWindow& window, int frames, const char* sprite, const char* name) {
    using Message = velmoria::RendererWindow::Message;
    velmoria::SaverSettings settings;
    int32_t width = 0;
    int32_t height = 0;
    if (!window.Create(settings, width, height)) {
        std::fprintf(stderr, "window-frame-bench: no %s window\n", name);
        return false;
    }
    if (sprite != nullptr) {
        velmoria::InitScene(width, height, sprite);
    } else {
        velmoria::InitScene(width, height);
    }
    window.Show(0);
    std::vector<double> costs;
    Clock::time_point firstMeasured;
    for (int drawn = 0; drawn < kSettlingFrames + frames;) {
        const Message message = window.HandleNextMessage();
        if (message == Message::Quit) {
            std::fprintf(stderr, "window-frame-bench: the %s window ended\n", name);
            return false;
        }
        if (message != Message::QueueEmpty) {
            continue;
        }
        if (drawn == kSettlingFrames) {
            firstMeasured = Clock::now();
        }
        const Clock::time_point start = Clock::now();
        velmoria::DrawFrame();
        window.SwapBuffers();
        if (drawn++ >= kSettlingFrames) {
            costs.push_back(Milliseconds(Clock::now() - start));
        }
    }
    const double seconds = Milliseconds(Clock::now() - firstMeasured) / 1000;
    window.TearDown();
    std::sort(costs.begin(), costs.end());
    std::printf(
        "%-7s %4dx%-4d  frame cost %7.2f ms (median; 90th percentile %7.2f)  loop %6.1f "
        "frames/s\n",
        name, width, height, costs[costs.size() / 2], costs[costs.size() * 9 / 10],
        frames / seconds);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const bool wayland = argc > 1 && std::strcmp(argv[1], "wayland") == 0;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 300;
    if (argc < 2 || (!wayland && std::strcmp(argv[1], "x11") != 0) || frames < 1) {
        std::fprintf(stderr, "usage: window-frame-bench x11|wayland [FRAMES] [SPRITE]\n");
        return 2;
    }
    const char* sprite = argc > 3 ? argv[3] : nullptr;
    if (wayland) {
        velmoria::RendererPlatformPosix platform;
        velmoria::RendererPlatform::Connect(&platform);
        velmoria::RendererWindowWayland window;
        return Measure(window, frames, sprite, "Wayland") ? 0 : 1;
    }
    velmoria::RendererWindowX11 window;
    velmoria::RendererPlatformX11 platform(window);
    velmoria::RendererPlatform::Connect(&platform);
    return Measure(window, frames, sprite, "X11") ? 0 : 1;
}
