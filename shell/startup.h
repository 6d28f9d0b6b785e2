// Main: the single-instance test, the mode from the command line, and the hand-over to the
// preview, the settings dialog or the saver session.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace velmoria {

// The window titles that mark a running session and an open settings dialog.
extern const char* const kSessionWindowTitle;  // "Skorvane_Main"
extern const char* const kDialogWindowTitle;   // "<Velmoria>"

// The three activities Main hands over to.
class ShellActivities {
  public:
    virtual ~ShellActivities() = default;
    // The preview inside the host window.
    virtual void StartPreview(int32_t hostWindow) = 0;
    // The settings dialog, modal: returns when it has closed.
    virtual void ShowSettingsDialog() = 0;
    // Loads the hidden session form, whose load starts the session.
    virtual void LoadSessionForm() = 0;
};

// The cursor display count that hiding the cursor returned at the start of an "S" session.
extern int32_t CursorCount;

// The second character of the upper-cased argument text; empty for a shorter text.
std::string ModeLetter(std::string_view argumentText);

enum class AfterMain {
    EndProgram,             // stop at once
    RunWhileWindowsLoaded,  // live on for as long as a window of the program is loaded
};

// `argumentText` is the command line after the program's own path, unchanged. `hosted`: a
// screen-saver daemon runs this copy in a window of its own (Linux), one copy per monitor side
// by side, so the single-instance test is left out. Reaches the system through the connected
// ShellPlatform.
AfterMain Main(std::string_view argumentText, ShellActivities& activities, bool hosted = false);

// The cursor display count of a platform without one (Linux): ShowCursor's rules, kept per
// process. The cursor shows while the count is 0 or more.
class CursorDisplayCount {
  public:
    int32_t Show(bool show) { return show ? ++count_ : --count_; }
    bool Visible() const { return count_ >= 0; }

  private:
    int32_t count_ = 0;
};

}  // namespace velmoria
