// When the renderer draws its next frame. At most `frameLimit` frames a second (0: as fast as
// the driver allows), so that the animation, one model step per frame, runs at the same speed
// on a 60, 144 or 240 Hz display and does not burn a core where the driver does not wait for
// the display. No frame at all while nothing drawn could be seen: every display it draws on is
// off, or its window is wholly covered. The frame loop asks once its queue is empty and, told
// to wait, waits for the next message no longer than the answer says; input never waits.
#pragma once

#include <cstdint>

namespace velmoria {

// A frame limit written as text (VELMORIA_FRAME_LIMIT): decimal digits only, at most 1000000;
// -1 for anything else.
int64_t FrameLimitFromText(const char* text);

class FramePacer {
  public:
    // The limit a renderer has unless its settings say otherwise.
    static constexpr uint32_t kDefaultFrameLimit = 60;
    // While nothing can be seen: how often the loop looks again (a display that wakes sends no
    // message everywhere).
    static constexpr int64_t kUnseenRecheckUs = 250000;

    explicit FramePacer(uint32_t frameLimit);

    struct Decision {
        bool draw;       // draw a frame now
        int64_t waitUs;  // else wait at most this long for a message, then ask again
    };
    // What to do at `nowUs` (microseconds of a steady clock) with the queue empty; `seen` is
    // whether a frame drawn now could be seen. A frame decided on counts as drawn at `nowUs`.
    Decision Next(int64_t nowUs, bool seen);

  private:
    // Due times a whole period apart, the period's remainder spread over the frames so that
    // a second holds exactly the limit's frames.
    void AdvanceDue();

    int64_t limit_;
    int64_t periodUs_;  // 0: no limit
    int64_t remainder_ = 0;
    bool scheduled_ = false;
    int64_t dueUs_ = 0;  // when the next frame is due
};

}  // namespace velmoria
