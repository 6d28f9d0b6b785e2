// What ends the renderer: a key press, a press of one of the three mouse buttons, or the pointer
// moved farther than the threshold on one axis from where it was when the window was created.
#pragma once

#include <cstdint>

#include "saver_settings.h"

namespace velmoria {

// Input as the window procedure sees it, already translated from the platform's events.
enum class RendererInput {
    KeyDown,          // an ordinary key
    SystemKeyDown,    // Alt, F10 or a key pressed with Alt: left to the system
    ButtonDown,       // left, middle or right button
    OtherButtonDown,  // wheel steps and the extra buttons
    ButtonUp,
    MouseMove,
};

// Keys by X11's keysym numbers, which xkbcommon shares: the backends pass them on unchanged.
namespace keysym {
constexpr uint32_t kMetaL = 0xffe7;
constexpr uint32_t kMetaR = 0xffe8;
constexpr uint32_t kAltL = 0xffe9;
constexpr uint32_t kAltR = 0xffea;
constexpr uint32_t kF10 = 0xffc7;
}  // namespace keysym

// A key pressed: Alt, Meta, F10 and any key pressed with Alt held are the system's keys, as
// WM_SYSKEYDOWN makes them on Windows; every other key (and one with no keysym) is ordinary.
RendererInput KeyPressInput(uint32_t keysym, bool altHeld);

// The pointer's buttons as the backends name them; wheel steps and the extra buttons are Other.
enum class PointerButton { Left, Middle, Right, Other };

// A press of one of the three buttons, or of another; any release is a ButtonUp.
RendererInput ButtonInput(PointerButton button, bool pressed);

// True when the pointer, now at `cursor`, is more than mouseThreshold pixels from the start
// position on either axis. The reference never moves, so slow drift adds up.
bool MovedPastThreshold(const SaverSettings& settings, CursorPoint cursor);

// True when `input` must close the window; `cursor` counts for MouseMove only.
bool RequestsClose(RendererInput input, const SaverSettings& settings, CursorPoint cursor);

// Where the window system tells the pointer's position only with events over our windows
// (Wayland), or may not know it yet when our window is made (an X server whose pointer lives
// in another server, as XWayland's): the first position heard becomes the start. A first move
// is then judged like any move (so only a negative threshold closes on it, as on a window shown
// under a resting pointer).
class LateStartCursor {
  public:
    bool Closes(RendererInput input, SaverSettings& settings, CursorPoint cursor);
    // The pointer was seen at `cursor` without moving (it entered one of our windows).
    void Heard(SaverSettings& settings, CursorPoint cursor);
    bool Known() const { return known_; }

  private:
    bool known_ = false;
};

}  // namespace velmoria
