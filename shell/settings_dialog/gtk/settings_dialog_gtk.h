// The settings dialog on Linux: a GTK window of fixed layout. The form and the panel are drawing
// areas that show their pictures and the windowless labels and marks; the track box is a
// GtkComboBoxText with an entry, the buttons are the gradient buttons' GTK controls.
#pragma once

#include <string>

namespace velmoria {

// Shows the dialog and returns once it has closed; "設定" writes to `settingsFile`. Nothing is
// shown when GTK cannot open the display.
void RunSettingsDialogGtk(const std::string& settingsFile);

}  // namespace velmoria
