// kwin-keys [--enter] WORD...: types each word's letters (a to z), then Enter when asked, through
// KWin's fake input
// (org_kde_kwin_fake_input, offered to every client when KWin runs with
// KWIN_WAYLAND_NO_PERMISSION_CHECKS=1), after a pause that lets clients bind the new keyboard.
// For the end-to-end tests on KWin, which offers no virtual keyboard protocol that wtype speaks.
#include <linux/input-event-codes.h>
#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <ctime>

#include "fake-input-client-protocol.h"

namespace {

org_kde_kwin_fake_input* fakeInput = nullptr;

void Pause(long milliseconds) {
    timespec pause = {milliseconds / 1000, (milliseconds % 1000) * 1000000L};
    nanosleep(&pause, nullptr);
}

const wl_registry_listener registryListener = {
    [](void*, wl_registry* registry, uint32_t name, const char* interface, uint32_t version) {
        if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4) {
            fakeInput = static_cast<org_kde_kwin_fake_input*>(
                wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
        }
    },
    [](void*, wl_registry*, uint32_t) {},
};

// The evdev codes of a to z, in the keyboard's order of the alphabet.
const uint32_t letterCodes[26] = {
    KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I, KEY_J, KEY_K, KEY_L, KEY_M,
    KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R, KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z,
};

}  // namespace

int main(int argc, char** argv) {
    const bool enter = argc > 1 && std::strcmp(argv[1], "--enter") == 0;
    const int first = enter ? 2 : 1;
    if (argc <= first && !enter) {
        std::fprintf(stderr, "usage: kwin-keys [--enter] WORD...\n");
        return 2;
    }
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "kwin-keys: no compositor\n");
        return 1;
    }
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &registryListener, nullptr);
    wl_display_roundtrip(display);
    if (fakeInput == nullptr) {
        std::fprintf(stderr, "kwin-keys: no org_kde_kwin_fake_input of version 4\n");
        return 1;
    }
    org_kde_kwin_fake_input_authenticate(fakeInput, "kwin-keys", "end-to-end tests");
    wl_display_roundtrip(display);
    Pause(500);
    auto press = [&](uint32_t code) {
        org_kde_kwin_fake_input_keyboard_key(fakeInput, code, WL_KEYBOARD_KEY_STATE_PRESSED);
        org_kde_kwin_fake_input_keyboard_key(fakeInput, code, WL_KEYBOARD_KEY_STATE_RELEASED);
        wl_display_roundtrip(display);
        Pause(100);
    };
    for (int i = first; i < argc; ++i) {
        for (const char* c = argv[i]; *c != '\0'; ++c) {
            if (*c < 'a' || *c > 'z') {
                std::fprintf(stderr, "kwin-keys: only the letters a to z: %s\n", argv[i]);
                return 2;
            }
            press(letterCodes[*c - 'a']);
        }
    }
    if (enter) {
        press(KEY_ENTER);
    }
    org_kde_kwin_fake_input_destroy(fakeInput);
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
