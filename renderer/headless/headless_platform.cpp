// What the scene asks of the platform when there is no window: no cursor to hide, and loader
// messages on standard error.
#include <cstdio>
#include <cstring>

#include "../error_box.h"
#include "../scene.h"

namespace velmoria {

void HideCursor() {}

void ShowErrorBox(const char* text) {
    const size_t length = std::strlen(text);
    std::fprintf(stderr, "Error: %s%s", text, length > 0 && text[length - 1] == '\n' ? "" : "\n");
}

}  // namespace velmoria
