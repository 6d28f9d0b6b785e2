// The error box on Windows, owned by the window that has the keyboard focus.
#include <windows.h>

#include "../error_box.h"

namespace velmoria {

void ShowErrorBox(const char* text) {
    MessageBoxA(GetFocus(), text, "Error", MB_OK);
}

}  // namespace velmoria
