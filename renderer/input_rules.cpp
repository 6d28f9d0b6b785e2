// The renderer's exit rules.
#include "input_rules.h"

#include <cstdint>

namespace velmoria {

namespace {

// In 64 bits, so that no pair of 32-bit coordinates can overflow.
int64_t Distance(int32_t a, int32_t b) {
    const int64_t d = static_cast<int64_t>(a) - b;
    return d < 0 ? -d : d;
}

}  // namespace

RendererInput KeyPressInput(uint32_t keysym, bool altHeld) {
    const bool systemKey = keysym == keysym::kAltL || keysym == keysym::kAltR ||
                           keysym == keysym::kMetaL || keysym == keysym::kMetaR ||
                           keysym == keysym::kF10 || altHeld;
    return systemKey ? RendererInput::SystemKeyDown : RendererInput::KeyDown;
}

RendererInput ButtonInput(PointerButton button, bool pressed) {
    if (!pressed) {
        return RendererInput::ButtonUp;
    }
    return button == PointerButton::Other ? RendererInput::OtherButtonDown
                                          : RendererInput::ButtonDown;
}

bool MovedPastThreshold(const SaverSettings& settings, CursorPoint cursor) {
    return Distance(cursor.x, settings.startCursor.x) > settings.mouseThreshold ||
           Distance(cursor.y, settings.startCursor.y) > settings.mouseThreshold;
}

bool RequestsClose(RendererInput input, const SaverSettings& settings, CursorPoint cursor) {
    switch (input) {
        case RendererInput::KeyDown:
        case RendererInput::ButtonDown:
            return true;
        case RendererInput::MouseMove:
            return MovedPastThreshold(settings, cursor);
        case RendererInput::SystemKeyDown:
        case RendererInput::OtherButtonDown:
        case RendererInput::ButtonUp:
            return false;
    }
    return false;
}

bool LateStartCursor::Closes(RendererInput input, SaverSettings& settings, CursorPoint cursor) {
    if (input == RendererInput::MouseMove) {
        Heard(settings, cursor);
    }
    return RequestsClose(input, settings, cursor);
}

void LateStartCursor::Heard(SaverSettings& settings, CursorPoint cursor) {
    if (!known_) {
        known_ = true;
        settings.startCursor = cursor;
    }
}

}  // namespace velmoria
