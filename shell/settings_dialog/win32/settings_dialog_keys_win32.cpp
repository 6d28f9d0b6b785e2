#include "shell/settings_dialog/win32/settings_dialog_keys_win32.h"

namespace velmoria {

DialogControl ButtonControl(DialogButton button) {
    return button == DialogButton::File  ? DialogControl::FileButton
           : button == DialogButton::Set ? DialogControl::SetButton
                                         : DialogControl::CancelButton;
}

bool DialogKeysWin32::PreTranslate(const MSG& message) {
    if ((message.message != WM_KEYDOWN && message.message != WM_KEYUP) || dialog_ == nullptr ||
        windows_.form == nullptr ||
        (message.hwnd != windows_.form && !IsChild(windows_.form, message.hwnd))) {
        return false;
    }
    const DialogControl focus = FocusedControl();
    // An open list keeps Return and Escape: they close it, as the toolkit does.
    const bool listOpen = SendMessageA(windows_.combo, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (message.message == WM_KEYUP) {
        if (message.wParam == VK_SPACE) {
            dialog_->KeyReleased(DialogKey::Space, focus);
        }
        return false;
    }
    switch (message.wParam) {
        case VK_TAB:
            MoveFocus(GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
            return true;
        case VK_UP:
        case VK_LEFT:
        case VK_DOWN:
        case VK_RIGHT:
            if (focus != DialogControl::Kinds) {
                return false;
            }
            ShowFocusCues();
            dialog_->KindArrow(message.wParam == VK_DOWN || message.wParam == VK_RIGHT ? 1 : -1);
            return true;
        case VK_RETURN:
            return !listOpen && dialog_->KeyPressed(DialogKey::Return, focus);
        case VK_ESCAPE:
            return !listOpen && dialog_->KeyPressed(DialogKey::Escape, focus);
        case VK_SPACE:
            // A held key repeats its press; the button stays pressed until the release.
            return dialog_->KeyPressed(DialogKey::Space, focus);
        default:
            return false;
    }
}

DialogControl DialogKeysWin32::FocusedControl() const {
    HWND focus = GetFocus();
    if (focus == windows_.panel) {
        return DialogControl::Kinds;
    }
    if (focus != nullptr && (focus == windows_.combo || IsChild(windows_.combo, focus))) {
        return DialogControl::Repeat;
    }
    for (const DialogButtonPlace& place : kDialogButtons) {
        const auto& button = windows_.buttons[static_cast<int>(place.button)];
        if (button != nullptr && focus == button->Window()) {
            return ButtonControl(place.button);
        }
    }
    return DialogControl::Link;  // the form itself
}

HWND DialogKeysWin32::FocusWindow(DialogControl control) const {
    const auto window = [this](DialogButton which) {
        const auto& button = windows_.buttons[static_cast<int>(which)];
        return button != nullptr ? button->Window() : nullptr;
    };
    switch (control) {
        case DialogControl::Kinds:
            return windows_.panel;
        case DialogControl::Repeat:
            return windows_.combo;
        case DialogControl::FileButton:
            return window(DialogButton::File);
        case DialogControl::SetButton:
            return window(DialogButton::Set);
        case DialogControl::CancelButton:
            return window(DialogButton::Cancel);
        case DialogControl::Link:
            return windows_.form;
    }
    return windows_.form;
}

bool DialogKeysWin32::CanFocus(DialogControl control) const {
    HWND window = FocusWindow(control);
    if (window == nullptr || !IsWindowEnabled(window)) {
        return false;
    }
    switch (control) {
        case DialogControl::FileButton:
            return windows_.buttons[static_cast<int>(DialogButton::File)]->Control().EnabledField();
        case DialogControl::SetButton:
            return windows_.buttons[static_cast<int>(DialogButton::Set)]->Control().EnabledField();
        case DialogControl::CancelButton:
            return windows_.buttons[static_cast<int>(DialogButton::Cancel)]
                ->Control()
                .EnabledField();
        default:
            return true;
    }
}

void DialogKeysWin32::MoveFocus(int step) {
    ShowFocusCues();
    const std::optional<DialogControl> next = NextInTabOrder(
        FocusedControl(), step, [this](DialogControl control) { return CanFocus(control); });
    if (next) {
        SetFocus(FocusWindow(*next));
    }
}

void DialogKeysWin32::ShowFocusCues() {
    if (focusCuesShown_) {
        return;
    }
    focusCuesShown_ = true;
    for (const auto& button : windows_.buttons) {
        if (button != nullptr) {
            button->SetFocusCuesShown(true);
        }
    }
    InvalidateRect(windows_.form, nullptr, FALSE);
    InvalidateRect(windows_.panel, nullptr, FALSE);
    if (dialog_ != nullptr) {
        dialog_->FocusMoved(FocusedControl(), true);
    }
}

bool DialogKeysWin32::FollowFocus() {
    HWND focus = GetFocus();
    if (focus == focusSeen_ || windows_.form == nullptr) {
        return false;
    }
    // The panel and the form draw their focus marks themselves.
    for (HWND window : {focusSeen_, focus}) {
        if (window != nullptr && (window == windows_.panel || window == windows_.form)) {
            InvalidateRect(window, nullptr, FALSE);
        }
    }
    focusSeen_ = focus;
    if (focus == nullptr || (focus != windows_.form && !IsChild(windows_.form, focus))) {
        return false;
    }
    if (dialog_ != nullptr) {
        dialog_->FocusMoved(FocusedControl(), focusCuesShown_);
    }
    return true;
}

// The dotted rectangle around a label, one pixel at 96 DPI outside it.
void DrawDialogFocusMark(HDC dc, const DialogScale& scale, const DialogRect& label) {
    const DialogRect place = scale.Place(label);
    RECT rect = {place.x, place.y, place.x + place.width, place.y + place.height};
    InflateRect(&rect, scale.Ring(), scale.Ring());
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &rect);
}

}  // namespace velmoria
