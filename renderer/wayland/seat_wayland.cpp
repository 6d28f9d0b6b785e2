// The renderer's seats on Wayland: pointers and keyboards on our surfaces, translated for the
// portable exit rules, and the keyboard's focus watched (a keyboard given to another window ends
// the saver). Part of RendererWindowWayland; the surfaces are in renderer_window_wayland.cpp.
#include <linux/input-event-codes.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <memory>

#include "renderer/diagnostics.h"
#include "renderer/wayland/keymap_wayland.h"
#include "renderer/wayland/renderer_window_wayland.h"

namespace velmoria {

namespace {

void Report(const char* what) {
    ReportRendererFailure("Wayland", what);
}

static_assert(XKB_KEY_Alt_L == keysym::kAltL && XKB_KEY_Alt_R == keysym::kAltR &&
                  XKB_KEY_Meta_L == keysym::kMetaL && XKB_KEY_Meta_R == keysym::kMetaR &&
                  XKB_KEY_F10 == keysym::kF10,
              "xkbcommon's keysyms are X11's, as the exit rules name keys");

// The key's keysym and whether Alt is in effect, as the exit rules take them; without a keymap
// the key has no keysym and counts as an ordinary key.
RendererInput TranslateKey(xkb_state* keys, uint32_t key) {
    if (keys == nullptr) {
        return KeyPressInput(XKB_KEY_NoSymbol, false);
    }
    return KeyPressInput(
        xkb_state_key_get_one_sym(keys, key + 8),
        xkb_state_mod_name_is_active(keys, XKB_MOD_NAME_ALT, XKB_STATE_MODS_EFFECTIVE) > 0);
}

PointerButton TranslateButton(uint32_t button) {
    switch (button) {
        case BTN_LEFT:
            return PointerButton::Left;
        case BTN_MIDDLE:
            return PointerButton::Middle;
        case BTN_RIGHT:
            return PointerButton::Right;
        default:
            return PointerButton::Other;
    }
}

}  // namespace

// The seat's events, translated into calls of the window: one function per slot of each
// listener, named for the event.
struct SeatListenersWayland {
    using Seat = RendererWindowWayland::Seat;

    // wl_seat.capabilities: a pointer or keyboard came or went.
    static void OnSeatCapabilities(void* data, wl_seat*, uint32_t capabilities) {
        Seat* seat = static_cast<Seat*>(data);
        seat->owner->SeatCapabilities(*seat, capabilities);
    }
    // wl_seat.name: not needed.
    static void OnSeatName(void*, wl_seat*, const char*) {}

    // wl_pointer.enter: the pointer came over one of our surfaces; no pointer shows there.
    static void OnPointerEnter(void* data, wl_pointer* pointer, uint32_t serial,
                               wl_surface* surface, wl_fixed_t x, wl_fixed_t y) {
        wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
        Seat* seat = static_cast<Seat*>(data);
        seat->owner->PointerAt(*seat, surface, wl_fixed_to_double(x), wl_fixed_to_double(y));
    }
    // wl_pointer.leave: its later moves are over no surface of ours.
    static void OnPointerLeave(void* data, wl_pointer*, uint32_t, wl_surface*) {
        static_cast<Seat*>(data)->pointerOutput = nullptr;
    }
    // wl_pointer.motion: a move over the surface entered last.
    static void OnPointerMotion(void* data, wl_pointer*, uint32_t, wl_fixed_t x, wl_fixed_t y) {
        Seat* seat = static_cast<Seat*>(data);
        seat->owner->PointerAt(*seat, nullptr, wl_fixed_to_double(x), wl_fixed_to_double(y));
    }
    // wl_pointer.button: a press or release, judged by the exit rules.
    static void OnPointerButton(void* data, wl_pointer*, uint32_t, uint32_t, uint32_t button,
                                uint32_t state) {
        const RendererInput input =
            ButtonInput(TranslateButton(button), state == WL_POINTER_BUTTON_STATE_PRESSED);
        static_cast<Seat*>(data)->owner->Judge(input, {0, 0});
    }
    // wl_pointer.axis: the wheel closes nothing.
    static void OnPointerAxis(void*, wl_pointer*, uint32_t, uint32_t, wl_fixed_t) {}
    // wl_pointer.frame, axis_source, axis_stop, axis_discrete, axis_value120: not needed.
    static void OnPointerFrame(void*, wl_pointer*) {}
    static void OnPointerAxisSource(void*, wl_pointer*, uint32_t) {}
    static void OnPointerAxisStop(void*, wl_pointer*, uint32_t, uint32_t) {}
    static void OnPointerAxisDiscrete(void*, wl_pointer*, uint32_t, int32_t) {}
    static void OnPointerAxisValue120(void*, wl_pointer*, uint32_t, int32_t) {}

    // wl_keyboard.keymap: the compositor's keymap, read when it can be (keymap_wayland.h).
    static void OnKeyboardKeymap(void* data, wl_keyboard*, uint32_t format, int32_t fd,
                                 uint32_t size) {
        Seat* seat = static_cast<Seat*>(data);
        TakeKeymapWayland(format, fd, size, seat->keymap, seat->keys);
    }
    // wl_keyboard.enter: the keyboard came to a surface; keys held at the enter are no press.
    static void OnKeyboardEnter(void* data, wl_keyboard*, uint32_t, wl_surface* surface,
                                wl_array*) {
        Seat* seat = static_cast<Seat*>(data);
        seat->owner->KeyboardFocusChanged(*seat, KeyboardFocusEvent::Entered, surface);
    }
    // wl_keyboard.leave: the keyboard left a surface, perhaps for another window.
    static void OnKeyboardLeave(void* data, wl_keyboard*, uint32_t, wl_surface* surface) {
        Seat* seat = static_cast<Seat*>(data);
        seat->owner->KeyboardFocusChanged(*seat, KeyboardFocusEvent::Left, surface);
    }
    // wl_keyboard.key: a press is judged by the exit rules; a release is nothing.
    static void OnKeyboardKey(void* data, wl_keyboard*, uint32_t, uint32_t, uint32_t key,
                              uint32_t state) {
        Seat* seat = static_cast<Seat*>(data);
        if (state == WL_KEYBOARD_KEY_STATE_PRESSED) {
            seat->owner->Judge(TranslateKey(seat->keys, key), {0, 0});
        }
    }
    // wl_keyboard.modifiers: Alt held or not, for the next key.
    static void OnKeyboardModifiers(void* data, wl_keyboard*, uint32_t, uint32_t depressed,
                                    uint32_t latched, uint32_t locked, uint32_t group) {
        Seat* seat = static_cast<Seat*>(data);
        if (seat->keys != nullptr) {
            xkb_state_update_mask(seat->keys, depressed, latched, locked, 0, 0, group);
        }
    }
    // wl_keyboard.repeat_info: not needed.
    static void OnKeyboardRepeatInfo(void*, wl_keyboard*, int32_t, int32_t) {}

    // wl_callback.done of the round trip asked after a leave: no enter of ours came meanwhile.
    static void OnFocusAnswer(void* data, wl_callback*, uint32_t) {
        Seat* seat = static_cast<Seat*>(data);
        seat->owner->KeyboardFocusChanged(*seat, KeyboardFocusEvent::Settled, nullptr);
    }

    static const wl_seat_listener seat;
    static const wl_pointer_listener pointer;
    static const wl_keyboard_listener keyboard;
    static const wl_callback_listener focusAnswer;
};

const wl_seat_listener SeatListenersWayland::seat = {
    &OnSeatCapabilities,  // capabilities
    &OnSeatName,          // name
};

const wl_pointer_listener SeatListenersWayland::pointer = {
    &OnPointerEnter,         // enter
    &OnPointerLeave,         // leave
    &OnPointerMotion,        // motion
    &OnPointerButton,        // button
    &OnPointerAxis,          // axis
    &OnPointerFrame,         // frame
    &OnPointerAxisSource,    // axis_source
    &OnPointerAxisStop,      // axis_stop
    &OnPointerAxisDiscrete,  // axis_discrete
    &OnPointerAxisValue120,  // axis_value120
};

const wl_keyboard_listener SeatListenersWayland::keyboard = {
    &OnKeyboardKeymap,      // keymap
    &OnKeyboardEnter,       // enter
    &OnKeyboardLeave,       // leave
    &OnKeyboardKey,         // key
    &OnKeyboardModifiers,   // modifiers
    &OnKeyboardRepeatInfo,  // repeat_info
};

const wl_callback_listener SeatListenersWayland::focusAnswer = {
    &OnFocusAnswer,  // done
};

void RendererWindowWayland::AddSeat(wl_seat* bound, uint32_t name) {
    auto seat = std::make_unique<Seat>();
    seat->owner = this;
    seat->global = name;
    seat->seat = bound;
    wl_seat_add_listener(seat->seat, &SeatListenersWayland::seat, seat.get());
    seats_.push_back(std::move(seat));
}

// At the end: what the compositor does not drop with the connection.
void RendererWindowWayland::ReleaseSeats() {
    for (auto& seat : seats_) {
        if (seat->focusAnswer != nullptr) {
            wl_callback_destroy(seat->focusAnswer);
        }
        xkb_state_unref(seat->keys);
        xkb_keymap_unref(seat->keymap);
    }
    seats_.clear();
}

void RendererWindowWayland::SeatCapabilities(Seat& seat, uint32_t capabilities) {
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    if (pointer && seat.pointer == nullptr) {
        seat.pointer = wl_seat_get_pointer(seat.seat);
        wl_pointer_add_listener(seat.pointer, &SeatListenersWayland::pointer, &seat);
    } else if (!pointer && seat.pointer != nullptr) {
        wl_pointer_destroy(seat.pointer);
        seat.pointer = nullptr;
        seat.pointerOutput = nullptr;
    }
    if (keyboard && seat.keyboard == nullptr) {
        seat.keyboard = wl_seat_get_keyboard(seat.seat);
        wl_keyboard_add_listener(seat.keyboard, &SeatListenersWayland::keyboard, &seat);
    } else if (!keyboard && seat.keyboard != nullptr) {
        wl_keyboard_destroy(seat.keyboard);
        seat.keyboard = nullptr;
    }
}

// The pointer over one of our surfaces (`surface` on entering, else the one entered last), in
// global logical coordinates: the output's position plus the surface-local one.
void RendererWindowWayland::PointerAt(Seat& seat, wl_surface* surface, double x, double y) {
    if (surface != nullptr) {
        seat.pointerOutput = nullptr;
        for (auto& output : outputs_) {
            if (output->surface == surface) {
                seat.pointerOutput = output.get();
            }
        }
    }
    if (seat.pointerOutput == nullptr) {
        return;
    }
    const CursorPoint cursor = {seat.pointerOutput->x + static_cast<int32_t>(x),
                                seat.pointerOutput->y + static_cast<int32_t>(y)};
    Judge(RendererInput::MouseMove, cursor);
}

// The keyboard's focus on our surfaces (`surface` null for one we have destroyed already): the
// saver ends once it is plain that another window has the keyboard.
void RendererWindowWayland::KeyboardFocusChanged(Seat& seat, KeyboardFocusEvent event,
                                                 wl_surface* surface) {
    if (event == KeyboardFocusEvent::Entered && !Shown(surface)) {
        return;
    }
    if (event == KeyboardFocusEvent::Left) {
        seat.leftSurface = surface;
    }
    if (event == KeyboardFocusEvent::Settled) {
        wl_callback_destroy(seat.focusAnswer);
        seat.focusAnswer = nullptr;
    }
    const KeyboardFocusContext context = {Shown(seat.leftSurface), closed_ || closePending_,
                                          seat.keyboard == nullptr};
    switch (seat.focus.Handle(event, context)) {
        case KeyboardFocusAction::Stay:
            break;
        case KeyboardFocusAction::Ask:
            seat.focusAnswer = wl_display_sync(display_);
            wl_callback_add_listener(seat.focusAnswer, &SeatListenersWayland::focusAnswer, &seat);
            break;
        case KeyboardFocusAction::End:
            Report("the compositor gave the keyboard to another window: the saver ends");
            closePending_ = true;
            break;
    }
}

bool RendererWindowWayland::Shown(const wl_surface* surface) const {
    return surface != nullptr &&
           std::any_of(outputs_.begin(), outputs_.end(),
                       [&](const auto& output) { return output->surface == surface; });
}

// A surface about to be destroyed: a new one may get its address.
void RendererWindowWayland::ForgetSurface(const wl_surface* surface) {
    for (auto& seat : seats_) {
        if (seat->leftSurface == surface) {
            seat->leftSurface = nullptr;
        }
    }
}

// Input on any surface of ours, judged by the exit rules; the close is posted to the loop.
void RendererWindowWayland::Judge(RendererInput input, CursorPoint cursor) {
    if (!closed_ && settings_ != nullptr && start_.Closes(input, *settings_, cursor)) {
        closePending_ = true;
    }
}

}  // namespace velmoria
