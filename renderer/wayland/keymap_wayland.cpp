// The keymap a compositor sends, mapped no further than its file and parsed with its length.
#include "renderer/wayland/keymap_wayland.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-client-protocol.h>
#include <xkbcommon/xkbcommon.h>

namespace velmoria {

// A stated size past the file's end is clamped rather than refused: the bytes that are there
// are a keymap or not, and xkbcommon, given their length, says which.
size_t KeymapBytesToMap(uint32_t statedSize, int64_t fileSize) {
    if (fileSize <= 0) {
        return 0;
    }
    return static_cast<uint64_t>(fileSize) < statedSize ? static_cast<size_t>(fileSize)
                                                        : static_cast<size_t>(statedSize);
}

namespace {

xkb_keymap* CompileKeymap(int32_t fd, uint32_t statedSize) {
    struct stat file = {};
    if (fstat(fd, &file) != 0 || !S_ISREG(file.st_mode)) {
        return nullptr;
    }
    const size_t size = KeymapBytesToMap(statedSize, file.st_size);
    if (size == 0) {
        return nullptr;
    }
    void* mapped = mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED) {
        return nullptr;
    }
    const char* text = static_cast<const char*>(mapped);
    size_t length = size;
    while (length > 0 && text[length - 1] == '\0') {
        --length;  // the terminating NUL a compositor includes is no part of the text
    }
    xkb_keymap* keymap = nullptr;
    if (xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS); context != nullptr) {
        keymap = xkb_keymap_new_from_buffer(context, text, length, XKB_KEYMAP_FORMAT_TEXT_V1,
                                            XKB_KEYMAP_COMPILE_NO_FLAGS);
        xkb_context_unref(context);
    }
    munmap(mapped, size);
    return keymap;
}

}  // namespace

bool TakeKeymapWayland(uint32_t format, int32_t fd, uint32_t statedSize, xkb_keymap*& keymap,
                       xkb_state*& keys) {
    xkb_keymap* compiled =
        format == WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1 ? CompileKeymap(fd, statedSize) : nullptr;
    close(fd);
    xkb_state* state = compiled != nullptr ? xkb_state_new(compiled) : nullptr;
    if (state == nullptr) {
        xkb_keymap_unref(compiled);
        return false;
    }
    xkb_state_unref(keys);
    xkb_keymap_unref(keymap);
    keymap = compiled;
    keys = state;
    return true;
}

}  // namespace velmoria
