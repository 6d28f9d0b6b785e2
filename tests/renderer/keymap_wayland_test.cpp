// The keymap a compositor sends: mapped no further than its file, whatever size it states, and a
// keymap that cannot be read leaves the previous one in place.
#include "renderer/wayland/keymap_wayland.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client-protocol.h>
#include <xkbcommon/xkbcommon.h>

#include <cerrno>
#include <cstdint>
#include <string>

namespace velmoria {
namespace {

// Complete in itself, so that no keymap files need be installed. Keycode 64 is left Alt.
constexpr char kKeymap[] = R"(xkb_keymap {
    xkb_keycodes "test" { minimum = 8; maximum = 255; <ESC> = 9; <LALT> = 64; };
    xkb_types "test" { };
    xkb_compat "test" { };
    xkb_symbols "test" { key <ESC> { [ Escape ] }; key <LALT> { [ Alt_L ] }; };
};
)";
// The keymap in place before the event: keycode 64 is "a" in it.
constexpr char kPreviousKeymap[] = R"(xkb_keymap {
    xkb_keycodes "test" { minimum = 8; maximum = 255; <AC01> = 64; };
    xkb_types "test" { };
    xkb_compat "test" { };
    xkb_symbols "test" { key <AC01> { [ a ] }; };
};
)";

int MemoryFile(const std::string& bytes) {
    const int fd = memfd_create("keymap-test", MFD_CLOEXEC);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    return fd;
}

// The text padded to whole pages: no zero byte follows it inside the mapping's last page.
std::string WholePages(std::string text) {
    const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
    text.append((page - text.size() % page) % page, '\n');
    return text;
}

TEST(KeymapWayland, BytesToMap) {
    struct Case {
        uint32_t stated;
        int64_t file;
        size_t expected;
    };
    const Case cases[] = {
        {4096, 4096, 4096},      // as stated
        {4097, 4096, 4096},      // one past the end: the file's bytes only
        {UINT32_MAX, 100, 100},  // far past it
        {100, 4096, 100},        // less than the file: what is stated
        {0, 4096, 0},            // nothing stated
        {4096, 0, 0},            // an empty file
        {4096, -1, 0},           // no size known
        {UINT32_MAX, INT64_MAX, UINT32_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(KeymapBytesToMap(c.stated, c.file), c.expected)
            << "stated " << c.stated << ", file " << c.file;
    }
}

TEST(KeymapWayland, KeymapEvents) {
    const long page = sysconf(_SC_PAGESIZE);
    struct Case {
        const char* name;
        std::string bytes;
        int64_t statedMinusFile;  // the stated size less the file's
        uint32_t format;
        bool taken;
    };
    constexpr uint32_t xkb = WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1;
    const std::string text = kKeymap;
    const int64_t textSize = static_cast<int64_t>(text.size());
    const Case cases[] = {
        {"stated size counting the terminating NUL", text + '\0', 0, xkb, true},
        {"no NUL, stated size a page past the end", WholePages(text), page, xkb, true},
        {"no NUL, stated size exact", text, 0, xkb, true},
        {"stated size cutting the text short", text, -textSize / 2, xkb, false},
        {"stated size 0", text + '\0', -textSize - 1, xkb, false},
        {"empty file, stated size of a keymap", "", page, xkb, false},
        {"no keymap format", text + '\0', 0, WL_KEYBOARD_KEYMAP_FORMAT_NO_KEYMAP, false},
        {"text that is no keymap", WholePages("xkb_keymap { nonsense"), page, xkb, false},
    };
    xkb_context* context = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    ASSERT_NE(context, nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        xkb_keymap* previous = xkb_keymap_new_from_string(
            context, kPreviousKeymap, XKB_KEYMAP_FORMAT_TEXT_V1, XKB_KEYMAP_COMPILE_NO_FLAGS);
        ASSERT_NE(previous, nullptr);
        xkb_state* previousKeys = xkb_state_new(previous);
        xkb_keymap* keymap = previous;
        xkb_state* keys = previousKeys;

        const int fd = MemoryFile(c.bytes);
        const int64_t stated = static_cast<int64_t>(c.bytes.size()) + c.statedMinusFile;
        EXPECT_EQ(TakeKeymapWayland(c.format, fd, static_cast<uint32_t>(stated), keymap, keys),
                  c.taken);
        EXPECT_EQ(fcntl(fd, F_GETFD), -1);  // closed, whatever came of it
        EXPECT_EQ(errno, EBADF);

        ASSERT_NE(keys, nullptr);
        if (!c.taken) {
            EXPECT_EQ(keymap, previous);
            EXPECT_EQ(keys, previousKeys);
        }
        EXPECT_EQ(xkb_state_key_get_one_sym(keys, 64),
                  c.taken ? XKB_KEY_Alt_L : static_cast<xkb_keysym_t>(XKB_KEY_a));
        xkb_state_unref(keys);
        xkb_keymap_unref(keymap);
    }
    xkb_context_unref(context);
}

}  // namespace
}  // namespace velmoria
