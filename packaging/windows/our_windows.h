// Which windows the installer and uninstaller may close: the ones our programs give their forms,
// in a process that runs Velmoria.scr or Velmoria.dll from the folder being installed or
// removed. Another program's windows are never ours, whatever their titles.
#pragma once

#include <string_view>

namespace velmoria {

// Whether `image`, a process's full program path, is Velmoria.scr or Velmoria.dll in `folder`.
// As Windows compares paths: letters without case (ASCII; the caller folds others), "/" as "\",
// a "\\?\" prefix and a folder's trailing "\" left out.
bool IsOurProgram(std::string_view image, std::string_view folder);

// Whether our programs give a window this title: the session's hidden window, the renderer, the
// settings dialog and its message boxes, and the preview.
bool IsOurWindowTitle(std::string_view title);

// Both: a window of this title, in a process running `image`, is ours to close.
bool IsOurWindow(std::string_view title, std::string_view image, std::string_view folder);

}  // namespace velmoria
