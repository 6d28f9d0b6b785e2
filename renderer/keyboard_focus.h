// Whether the keyboard has been taken from the saver. Our surfaces ask for it exclusively, yet a
// compositor may hand it to a window that maps meanwhile (KWin does): keys would then be typed
// into a window the user cannot see. A client cannot take the keyboard back, so that ends the
// saver, which shows the desktop with that window.
#pragma once

namespace velmoria {

// What a seat's keyboard did with our surfaces, in the order the compositor said it.
enum class KeyboardFocusEvent {
    Entered,  // one of our surfaces has it
    Left,     // a surface of ours lost it
    Settled,  // the answer to the question asked after a leave: all sent before it has come
};

// Where the saver stands at the event: `leftSurfaceShown` while the surface that lost the
// keyboard last is still ours and shown (not one we destroyed, nor one whose output went);
// `closing` once the saver is ending anyway; `keyboardGone` once the seat has no keyboard (the
// last one unplugged, or a virtual one ended: its focus went with it).
struct KeyboardFocusContext {
    bool leftSurfaceShown = false;
    bool closing = false;
    bool keyboardGone = false;
};

enum class KeyboardFocusAction {
    Stay,  // nothing to do
    Ask,   // ask the compositor to answer once what it sent is out (wl_display.sync)
    End,   // the keyboard went to another window: end the saver
};

// One seat's keyboard. A leave alone says little: focus moving between our own surfaces comes as
// a leave and an enter sent together, so the verdict waits for the compositor's answer.
class KeyboardFocus {
  public:
    KeyboardFocusAction Handle(KeyboardFocusEvent event, KeyboardFocusContext context);

  private:
    bool held_ = false;     // one of our surfaces has the keyboard
    bool waiting_ = false;  // asked after a leave, not yet answered
    int answers_ = 0;       // answers so far that found the keyboard taken
};

}  // namespace velmoria
