// The keyboard's keymap as a compositor sends it (wl_keyboard.keymap): a descriptor and a stated
// size, neither of them trusted.
#pragma once

#include <cstddef>
#include <cstdint>

struct xkb_keymap;
struct xkb_state;

namespace velmoria {

// How many bytes of a keymap file to map: the stated size, but never past the file's end (a
// mapping past it faults when read), and none for an empty file or a stated size of 0.
size_t KeymapBytesToMap(uint32_t statedSize, int64_t fileSize);

// Reads the keymap sent in `format` from `fd` (always closed) and, when it compiles, replaces
// `keymap` and `keys` with it. A keymap that cannot be read leaves the previous one in place; with
// none at all every key counts as an ordinary key, so keys still end the saver.
bool TakeKeymapWayland(uint32_t format, int32_t fd, uint32_t statedSize, xkb_keymap*& keymap,
                       xkb_state*& keys);

}  // namespace velmoria
