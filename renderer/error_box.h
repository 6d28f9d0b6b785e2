// The renderer's one way of telling the user something: a modal box with the caption "Error"
// and an OK button (implemented per platform).
#pragma once

namespace velmoria {

void ShowErrorBox(const char* text);

}  // namespace velmoria
