// The settings dialog on Windows: a top-level window with a child window for the panel; both
// paint their pictures and the windowless labels and marks; the track box is a COMBOBOX, the
// buttons are the gradient buttons' windows.
#pragma once

#include <string>

namespace velmoria {

// Shows the dialog and returns once it has closed; "設定" writes to `settingsFile`.
void RunSettingsDialogWin32(const std::string& settingsFile);

}  // namespace velmoria
