// Whether the keyboard has been taken from the saver.
#include "renderer/keyboard_focus.h"

namespace velmoria {

KeyboardFocusAction KeyboardFocus::Handle(KeyboardFocusEvent event, KeyboardFocusContext context) {
    switch (event) {
        case KeyboardFocusEvent::Entered:
            held_ = true;
            return KeyboardFocusAction::Stay;
        case KeyboardFocusEvent::Left:
            held_ = false;
            if (waiting_ || context.closing) {
                return KeyboardFocusAction::Stay;  // the answer asked for covers this leave too
            }
            waiting_ = true;
            return KeyboardFocusAction::Ask;
        case KeyboardFocusEvent::Settled: {
            waiting_ = false;
            // A surface that went took the keyboard with it: where it goes next is not ours
            // to judge, and no window of another took it from a surface still shown.
            const bool taken =
                !held_ && context.leftSurfaceShown && !context.closing && !context.keyboardGone;
            if (!taken) {
                answers_ = 0;
                return KeyboardFocusAction::Stay;
            }
            // A keyboard that goes (a virtual one ended) may be announced only after the first
            // answer: a second round trip lets that news arrive.
            if (++answers_ < 2) {
                waiting_ = true;
                return KeyboardFocusAction::Ask;
            }
            answers_ = 0;
            return KeyboardFocusAction::End;
        }
    }
    return KeyboardFocusAction::Stay;
}

}  // namespace velmoria
