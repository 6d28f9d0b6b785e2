// The renderer's frame pacing.
#include "renderer/frame_pacer.h"

namespace velmoria {

int64_t FrameLimitFromText(const char* text) {
    if (text == nullptr || *text == '\0') {
        return -1;
    }
    int64_t limit = 0;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9') {
            return -1;
        }
        limit = limit * 10 + (*c - '0');
        if (limit > 1000000) {
            return -1;
        }
    }
    return limit;
}

FramePacer::FramePacer(uint32_t frameLimit)
    : limit_(frameLimit), periodUs_(frameLimit == 0 ? 0 : 1000000 / limit_) {}

void FramePacer::AdvanceDue() {
    dueUs_ += periodUs_;
    remainder_ += 1000000 % limit_;
    if (remainder_ >= limit_) {
        remainder_ -= limit_;
        ++dueUs_;
    }
}

FramePacer::Decision FramePacer::Next(int64_t nowUs, bool seen) {
    if (!seen) {
        scheduled_ = false;  // the first frame once seen again comes at once
        return {false, kUnseenRecheckUs};
    }
    if (periodUs_ == 0) {
        return {true, 0};
    }
    if (scheduled_ && nowUs < dueUs_) {
        return {false, dueUs_ - nowUs};
    }
    // Due times keep their spacing, so a frame that came a little late does not push the rest
    // back; one that fell a whole period behind starts the spacing anew instead of catching up
    // with a burst.
    if (!scheduled_ || nowUs - dueUs_ >= periodUs_) {
        dueUs_ = nowUs;
        remainder_ = 0;
    }
    AdvanceDue();
    scheduled_ = true;
    return {true, 0};
}

}  // namespace velmoria
