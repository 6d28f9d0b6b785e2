// The renderer's frame loop: messages first, then a frame when the pacer says one is due.
#include <chrono>

#include "renderer/renderer_program.h"

namespace velmoria {

void RunFrameLoop(RendererWindow& window, const std::function<void()>& drawFrame, FramePacer& pacer,
                  const std::function<int64_t()>& nowUs) {
    for (;;) {
        switch (window.HandleNextMessage()) {
            case RendererWindow::Message::Quit:
                return;
            case RendererWindow::Message::Handled:
                continue;
            case RendererWindow::Message::QueueEmpty: {
                const FramePacer::Decision next = pacer.Next(nowUs(), window.FrameCanBeSeen());
                if (next.draw) {
                    drawFrame();
                    window.SwapBuffers();
                } else {
                    window.WaitForMessage(next.waitUs);
                }
                break;
            }
        }
    }
}

void RunFrameLoop(RendererWindow& window, const std::function<void()>& drawFrame) {
    FramePacer unlimited(0);
    RunFrameLoop(window, drawFrame, unlimited, SteadyMicroseconds);
}

int64_t SteadyMicroseconds() {
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace velmoria
