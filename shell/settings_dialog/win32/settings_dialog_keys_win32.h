// The settings dialog's keyboard on Windows: the keys the dialog answers before the focused
// child sees them (Tab and Shift+Tab round the order, disabled controls skipped; the arrows over
// the music kinds; Return, Space and Escape by the dialog's key rules), the focus followed to the
// dialog, and the focus cues, hidden until the first keyboard navigation.
#pragma once

#include <windows.h>

#include <array>
#include <memory>

#include "shell/controls/win32/command_button_win32.h"
#include "shell/settings_dialog/settings_dialog.h"

namespace velmoria {

// The dialog's windows that take the focus; null once they are gone.
struct DialogWindowsWin32 {
    HWND form = nullptr;   // stands for the link
    HWND panel = nullptr;  // stands for the music kinds
    HWND combo = nullptr;
    std::array<std::unique_ptr<CommandButtonWin32>, 3> buttons;  // by DialogButton
};

class DialogKeysWin32 {
  public:
    explicit DialogKeysWin32(const DialogWindowsWin32& windows) : windows_(windows) {}

    // The dialog the keys go to; null: none.
    void SetDialog(SettingsDialog* dialog) { dialog_ = dialog; }
    // A key the dialog answers itself, before the focused child sees it; true when it is taken.
    bool PreTranslate(const MSG& message);
    DialogControl FocusedControl() const;
    bool FocusCuesShown() const { return focusCuesShown_; }
    // After each message: a focus that moved (by key, click or activation) is told to the
    // dialog and the panel's or form's mark repainted. True when it moved to one of the dialog's
    // windows, to be announced to assistive technologies.
    bool FollowFocus();

  private:
    HWND FocusWindow(DialogControl control) const;
    bool CanFocus(DialogControl control) const;
    // Tab (+1) or Shift+Tab (-1): the next control that can take the focus, round the order.
    void MoveFocus(int step);
    // The first keyboard navigation shows the focus marks and the default button.
    void ShowFocusCues();

    const DialogWindowsWin32& windows_;
    SettingsDialog* dialog_ = nullptr;
    bool focusCuesShown_ = false;
    HWND focusSeen_ = nullptr;
};

// The control a gradient button is.
DialogControl ButtonControl(DialogButton button);

// The dotted focus mark around a label laid out at 96 DPI, drawn at the scale's DPI.
void DrawDialogFocusMark(HDC dc, const DialogScale& scale, const DialogRect& label);

}  // namespace velmoria
