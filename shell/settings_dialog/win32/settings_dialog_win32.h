// The settings dialog on Windows: a top-level window with a child window for the panel; both
// paint their pictures and the windowless labels and marks; the track box is a COMBOBOX, the
// buttons are the gradient buttons' windows.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace velmoria {

// Shows the dialog and returns once it has closed; "設定" writes to `settingsFile`.
void RunSettingsDialogWin32(const std::string& settingsFile);

// The dialog's window, opened as the dialog opens but without its modal loop: `use` gets the
// form while it exists (a test sends it messages and reads its children), then it is closed.
// False when the window could not be made.
bool WithSettingsDialogWindowWin32(const std::string& settingsFile,
                                   const std::function<void(HWND form)>& use);

}  // namespace velmoria
