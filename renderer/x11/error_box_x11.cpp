// The error box on Linux. Until the X11 box exists, messages go to standard error.
#include <cstdio>
#include <cstring>

#include "../error_box.h"

namespace velmoria {

void ShowErrorBox(const char* text) {
    const size_t length = std::strlen(text);
    std::fprintf(stderr, "Error: %s%s", text, length > 0 && text[length - 1] == '\n' ? "" : "\n");
}

}  // namespace velmoria
