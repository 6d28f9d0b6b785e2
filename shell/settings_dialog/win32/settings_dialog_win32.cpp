// The settings dialog's Win32 windows: the form and its panel at the layout's rectangles, events
// passed to the dialog's handlers, and the calls of SettingsDialogView done with user32, gdi32,
// comdlg32 and shell32. The keyboard is read in the dialog's message loop (DialogKeysWin32).
// The panel takes the focus for the music kinds and the form for the link; both draw their own
// focus marks.
#include "shell/settings_dialog/win32/settings_dialog_win32.h"

#include <windows.h>
// These two need windows.h first.
#include <commdlg.h>
#include <shellapi.h>

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "assets/dialog_pictures.h"
#include "shell/controls/win32/command_button_win32.h"
#include "shell/settings_dialog/settings_dialog.h"
#include "shell/settings_dialog/win32/dialog_accessible_win32.h"
#include "shell/settings_dialog/win32/settings_dialog_keys_win32.h"

namespace velmoria {

namespace {

const char* const kFormClass = "Skorvane_P";
const char* const kPanelClass = "Skorvane_P.Panel";
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kComboListHeight = 200;
// WM_DPICHANGED (Windows 8.1), which older headers lack.
constexpr UINT kDpiChanged = 0x02E0;
// An accessibility client's press of the button with this child ID (wParam).
constexpr UINT kPressButton = WM_APP + 1;

// The outer size of a window whose client is `client` at `dpi` (the frame grows with the DPI
// where Windows can say so).
SIZE OuterSize(SIZE client, int dpi) {
    using AdjustForDpiFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = reinterpret_cast<AdjustForDpiFunction>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("user32.dll"), "AdjustWindowRectExForDpi")));
    RECT outer = {0, 0, client.cx, client.cy};
    if (adjustForDpi == nullptr || !adjustForDpi(&outer, kFormStyle, FALSE, 0, dpi)) {
        AdjustWindowRectEx(&outer, kFormStyle, FALSE, 0);
    }
    return {outer.right - outer.left, outer.bottom - outer.top};
}

// The wide text in the ANSI code page; nothing when a character has no place in it.
std::optional<std::string> ToAnsi(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    BOOL lossy = FALSE;
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, &lossy);
    if (length <= 0 || lossy) {
        return std::nullopt;
    }
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length,
                        nullptr, nullptr);
    return text;
}

// A cursor or icon from a picture with alpha 0 (clear) or 255 (opaque).
HICON MakeIcon(const Picture& picture, bool isIcon, int hotX, int hotY) {
    const int maskStride = ((picture.width + 15) / 16) * 2;
    std::vector<uint8_t> mask(static_cast<size_t>(maskStride) * picture.height, 0);
    Picture colour(picture.width, picture.height);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.At(x, y);
            if ((pixel >> 24) == 0) {
                mask[y * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
            } else {
                colour.Set(x, y, pixel & 0xFFFFFF);
            }
        }
    }
    ICONINFO info = {};
    info.fIcon = isIcon;
    info.xHotspot = static_cast<DWORD>(hotX);
    info.yHotspot = static_cast<DWORD>(hotY);
    info.hbmMask = CreateBitmap(picture.width, picture.height, 1, 1, mask.data());
    info.hbmColor = CreateRgbBitmap(colour);
    HICON icon = nullptr;
    if (info.hbmMask != nullptr && info.hbmColor != nullptr) {
        icon = CreateIconIndirect(&info);
    }
    if (info.hbmMask != nullptr) {
        DeleteObject(info.hbmMask);
    }
    if (info.hbmColor != nullptr) {
        DeleteObject(info.hbmColor);
    }
    return icon;
}

void BlitBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height) {
    if (bitmap == nullptr) {
        return;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ original = SelectObject(source, bitmap);
    BitBlt(dc, x, y, width, height, source, 0, 0, SRCCOPY);
    SelectObject(source, original);
    DeleteDC(source);
}

// The accessible children, in this order (child ID = index + 1): the kinds top to bottom, the
// track box, "...", the path box, "設定", "ｷｬﾝｾﾙ", the link.
constexpr LONG kFirstKindChild = 1;
constexpr LONG kRepeatChild = 4;
constexpr LONG kFileButtonChild = 5;
constexpr LONG kSetButtonChild = 7;
constexpr LONG kCancelButtonChild = 8;
constexpr LONG kLinkChild = 9;

LONG SystemRole(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::Window:
            return ROLE_SYSTEM_DIALOG;
        case AccessibleRole::RadioButton:
            return ROLE_SYSTEM_RADIOBUTTON;
        case AccessibleRole::ComboBox:
            return ROLE_SYSTEM_COMBOBOX;
        case AccessibleRole::PushButton:
            return ROLE_SYSTEM_PUSHBUTTON;
        case AccessibleRole::ReadOnlyText:
            return ROLE_SYSTEM_STATICTEXT;
        case AccessibleRole::Link:
            return ROLE_SYSTEM_LINK;
    }
    return ROLE_SYSTEM_CLIENT;
}

RECT ToRect(const DialogRect& r) {
    return {r.x, r.y, r.x + r.width, r.y + r.height};
}

class SettingsDialogWin32 final : public SettingsDialogView, public AccessibleElements {
  public:
    ~SettingsDialogWin32() override;

    bool Create();
    // Opens the dialog in the window: the handlers' opening and the first paint.
    void Open(SettingsDialog& dialog);
    void Run(SettingsDialog& dialog);
    HWND Form() const { return windows_.form; }

    ScreenArea Screen() override {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    ScreenSize WindowOuterSize() override;
    void MoveWindow(int32_t left, int32_t top) override {
        SetWindowPos(windows_.form, nullptr, left, top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    uintptr_t WindowHandle() override { return reinterpret_cast<uintptr_t>(windows_.form); }
    CommandButton& Button(DialogButton button) override;
    void SetPanelBackground(const Picture& picture) override;
    void SetFormBackground(const Picture& picture) override;
    void SetMarkPicture(int mark, bool selected) override;
    void SetRepeatEnabled(bool enabled) override { EnableWindow(windows_.combo, enabled); }
    void SetRepeatText(const std::string& text) override {
        SetWindowTextA(windows_.combo, text.c_str());
    }
    void AddRepeatEntry(const std::string& text) override {
        SendMessageA(windows_.combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::string RepeatText() override;
    void SetFileLabel(const std::string& text) override {
        fileLabel_ = text;
        InvalidateRect(windows_.panel, nullptr, FALSE);
    }
    std::optional<ScreenPoint> CursorPosition() override;
    void SetScreenCursor(DialogCursor cursor) override;
    std::optional<std::string> PickFile(const FilePickRequest& request) override;
    // The path is kept in the ANSI code page, byte for byte.
    std::optional<size_t> StoredLength(const std::string& path) override { return path.size(); }
    void ShowMessage(const std::string& text) override {
        MessageBoxW(windows_.form, WidenUtf8(text).c_str(), L"<Velmoria>",
                    MB_OK | MB_ICONEXCLAMATION);
    }
    void OpenLink(const std::string& address) override;
    void Close() override {
        if (windows_.form != nullptr) {
            DestroyWindow(windows_.form);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<AccessibleElement> Elements() override;
    LONG FocusedChild() override;
    void DoDefaultAction(LONG child) override;
    LONG ChildOfWindow(HWND window) override;

  private:
    // After each message: a focus that moved (by key, click or activation) is told to the
    // dialog, repainted and announced to assistive technologies.
    void FollowFocus();
    // Raises the focus event for the object the focused window answers with.
    void AnnounceFocus();
    // WM_GETOBJECT for the form, the panel or a button: the window's object for OBJID_CLIENT,
    // made on the first question; 0 for the rest.
    LRESULT AnswerObject(HWND window, WPARAM wParam, LPARAM lParam);
    // The windows are going: the objects clients may still hold answer nothing more.
    void DetachAccessibles();
    int FocusedKind() const;
    LONG ChildOf(DialogControl control) const;
    RECT ScreenRect(HWND window, const DialogRect& design) const;
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    // Lays the window out at `dpi`: its client size, the children's rectangles, the fonts and
    // the pictures. The window keeps its top-left corner.
    void ApplyScale(int dpi);
    void MoveChild(HWND child, const DialogRect& design, int extraHeight = 0);
    void FitComboHeight();
    void ReplaceFont(HFONT& slot, const ButtonFont& font);
    void PaintForm(HDC dc);
    void PaintPanel(HDC dc);
    void DrawLabel(HDC dc, const DialogRect& rect, const std::wstring& text, uint32_t colour,
                   bool centred, bool underlined, bool wrapped = false);
    void DrawLabel(HDC dc, const DialogLabel& label) {
        DrawLabel(dc, scale_.Place(label.rect), WidenUtf8(label.text), label.colour, label.centred,
                  label.underlined);
    }
    void Replace(HBITMAP& slot, const Picture& picture, HWND window);

    SettingsDialog* dialog_ = nullptr;
    DialogWindowsWin32 windows_;
    DialogKeysWin32 keys_{windows_};
    HFONT labelFont_ = nullptr;
    HFONT linkFont_ = nullptr;
    HFONT comboFont_ = nullptr;
    HBITMAP formPicture_ = nullptr;
    HBITMAP panelPicture_ = nullptr;
    std::array<HBITMAP, 2> markPictures_{};
    std::array<bool, 3> markShown_{};
    std::array<bool, 3> markSelected_{};
    std::string fileLabel_;
    HCURSOR handCursor_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    bool busy_ = false;
    bool pressedOnLink_ = false;
    bool closed_ = false;
    HWND focusToRestore_ = nullptr;  // the focus while the window was inactive
    std::vector<std::pair<HWND, DialogAccessible*>> accessibles_;
    DialogScale scale_;
    int formWidth_ = 0;
    int formHeight_ = 0;
};

bool RegisterClasses() {
    static bool registered = false;
    if (registered) {
        return true;
    }
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = SettingsDialogWin32::WindowProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = nullptr;  // WM_SETCURSOR picks the arrow, the hand or the hourglass
    windowClass.lpszClassName = kFormClass;
    if (RegisterClassExA(&windowClass) == 0) {
        return false;
    }
    windowClass.lpszClassName = kPanelClass;
    registered = RegisterClassExA(&windowClass) != 0;
    return registered;
}

SettingsDialogWin32::~SettingsDialogWin32() {
    DetachAccessibles();
    for (HBITMAP bitmap : {formPicture_, panelPicture_, markPictures_[0], markPictures_[1]}) {
        if (bitmap != nullptr) {
            DeleteObject(bitmap);
        }
    }
    for (HFONT font : {labelFont_, linkFont_, comboFont_}) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    if (handCursor_ != nullptr) {
        DestroyCursor(handCursor_);
    }
    for (HICON icon : {bigIcon_, smallIcon_}) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

bool SettingsDialogWin32::Create() {
    if (!RegisterClasses()) {
        return false;
    }
    // Made at the 96-DPI size, then laid out for the DPI of the monitor it landed on.
    const SIZE outer = OuterSize({kDialogClientWidth, kDialogClientHeight}, 96);
    windows_.form =
        CreateWindowExA(0, kFormClass, "<Velmoria>", kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                        outer.cx, outer.cy, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    if (windows_.form == nullptr) {
        return false;
    }
    windows_.panel = CreateWindowExA(
        0, kPanelClass, "", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, kPanelRect.x,
        kPanelRect.y, kPanelRect.width, kPanelRect.height, windows_.form, nullptr,
        GetModuleHandleA(nullptr), this);

    windows_.combo = CreateWindowExA(0, "COMBOBOX", "",
                                     WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN,
                                     kRepeatComboRect.x, kRepeatComboRect.y, kRepeatComboRect.width,
                                     kRepeatComboRect.height + kComboListHeight, windows_.panel,
                                     nullptr, GetModuleHandleA(nullptr), nullptr);

    for (const DialogButtonPlace& place : kDialogButtons) {
        const DialogButton which = place.button;
        const RECT rect = {place.rect.x, place.rect.y, place.rect.x + place.rect.width,
                           place.rect.y + place.rect.height};
        windows_.buttons[static_cast<int>(which)] = CommandButtonWin32::Create(
            place.surface == DialogSurface::Panel ? windows_.panel : windows_.form, rect,
            ButtonPropertySet::Parse(place.properties), DialogFont(), [this, which] {
                if (dialog_ != nullptr) {
                    dialog_->ButtonClick(which);
                }
            });
        CommandButtonWin32* button = windows_.buttons[static_cast<int>(which)].get();
        if (button != nullptr) {
            button->SetObjectAnswer(
                [this, window = button->Window()](WPARAM wParam, LPARAM lParam) {
                    return AnswerObject(window, wParam, lParam);
                });
        }
    }

    ApplyScale(WindowDpi(windows_.form));
    bigIcon_ = MakeIcon(MakeDialogIcon(32), true, 0, 0);
    smallIcon_ = MakeIcon(MakeDialogIcon(16), true, 0, 0);
    SendMessageA(windows_.form, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageA(windows_.form, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    return true;
}

void SettingsDialogWin32::ApplyScale(int dpi) {
    scale_ = DialogScale(dpi);
    const SIZE outer = OuterSize({scale_.ClientWidth(), scale_.ClientHeight()}, dpi);
    SetWindowPos(windows_.form, nullptr, 0, 0, outer.cx, outer.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    MoveChild(windows_.panel, kPanelRect);

    ReplaceFont(labelFont_, DialogFont());
    ButtonFont link = DialogFont();
    link.underline = true;
    ReplaceFont(linkFont_, link);
    ReplaceFont(comboFont_, ButtonFont{"Tahoma", kRepeatComboPoints, 400, false, false, false, 0});
    if (windows_.combo != nullptr) {
        SendMessageA(windows_.combo, WM_SETFONT, reinterpret_cast<WPARAM>(comboFont_), FALSE);
        MoveChild(windows_.combo, kRepeatComboRect, kComboListHeight);
        FitComboHeight();
    }
    for (const DialogButtonPlace& place : kDialogButtons) {
        const auto& button = windows_.buttons[static_cast<int>(place.button)];
        if (button != nullptr) {
            MoveChild(button->Window(), place.rect);
        }
    }

    const int markSize = scale_.Length(kMarkPictureSize);
    for (const bool selected : {false, true}) {
        HBITMAP& slot = markPictures_[selected ? 1 : 0];
        if (slot != nullptr) {
            DeleteObject(slot);
        }
        slot = CreateRgbBitmap(MakeSelectionMark(selected, markSize, scale_.Ring()));
    }
    if (handCursor_ != nullptr) {
        DestroyCursor(handCursor_);
    }
    const int handSize = scale_.Length(kHandCursorSize);
    const PicturePoint hot = HandCursorHotSpot(handSize);
    handCursor_ = MakeIcon(MakeHandCursor(handSize), false, hot.x, hot.y);
    if (dialog_ != nullptr) {
        dialog_->SetScale(scale_);
    }
    InvalidateRect(windows_.form, nullptr, FALSE);
    InvalidateRect(windows_.panel, nullptr, FALSE);
}

void SettingsDialogWin32::MoveChild(HWND child, const DialogRect& design, int extraHeight) {
    if (child != nullptr) {
        const DialogRect r = scale_.Place(design);
        ::MoveWindow(child, r.x, r.y, r.width, r.height + scale_.Length(extraHeight), TRUE);
    }
}

// The closed box is exactly the layout's height: its selection field is set so that the field
// plus the edges Windows adds at this DPI come to that height.
void SettingsDialogWin32::FitComboHeight() {
    const int wanted = scale_.Place(kRepeatComboRect).height;
    int field = wanted - (static_cast<int>(GetSystemMetrics(SM_CYEDGE)) * 2 + 2);
    for (int attempt = 0; attempt < 2; ++attempt) {
        SendMessageA(windows_.combo, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), std::max(field, 1));
        RECT closed;
        if (!GetWindowRect(windows_.combo, &closed)) {
            return;
        }
        const int error = wanted - (closed.bottom - closed.top);
        if (error == 0) {
            return;
        }
        field += error;
    }
}

void SettingsDialogWin32::ReplaceFont(HFONT& slot, const ButtonFont& font) {
    HFONT made = MakeGdiFont(scale_.Dpi(), font);
    if (made == nullptr) {
        return;
    }
    if (slot != nullptr) {
        DeleteObject(slot);
    }
    slot = made;
}

void SettingsDialogWin32::Open(SettingsDialog& dialog) {
    dialog_ = &dialog;
    keys_.SetDialog(&dialog);
    dialog.SetScale(scale_);
    dialog.FormLoad();
    RECT client;
    GetClientRect(windows_.form, &client);
    formWidth_ = client.right;
    formHeight_ = client.bottom;
    dialog.FormResize(formWidth_, formHeight_);
    focusToRestore_ = windows_.panel;  // the music kinds, unmarked until the keyboard is used
    ShowWindow(windows_.form, SW_SHOWNORMAL);
    UpdateWindow(windows_.form);
    FollowFocus();
}

void SettingsDialogWin32::Run(SettingsDialog& dialog) {
    // Accessibility clients reach the dialog's object through COM.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Open(dialog);
    MSG message;
    while (!closed_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!keys_.PreTranslate(message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (!closed_) {
            FollowFocus();
        }
    }
    dialog_ = nullptr;
    keys_.SetDialog(nullptr);
    DetachAccessibles();
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
}

void SettingsDialogWin32::FollowFocus() {
    if (keys_.FollowFocus()) {
        AnnounceFocus();
    }
}

void SettingsDialogWin32::AnnounceFocus() {
    HWND focus = GetFocus();
    if (focus != nullptr && ChildOfWindow(focus) != 0) {
        // The panel and the buttons answer as the focused element itself, as the system's
        // own event for them says.
        NotifyWinEvent(EVENT_OBJECT_FOCUS, focus, OBJID_CLIENT, CHILDID_SELF);
    } else if (const LONG child = FocusedChild()) {
        // The link (the form) and the track box, whose system object has no name.
        NotifyWinEvent(EVENT_OBJECT_FOCUS, windows_.form, OBJID_CLIENT, child);
    }
}

LONG SettingsDialogWin32::ChildOfWindow(HWND window) {
    if (window == nullptr || window == windows_.form) {
        return 0;
    }
    if (window == windows_.panel) {
        return ChildOf(DialogControl::Kinds);
    }
    for (const DialogButtonPlace& place : kDialogButtons) {
        const auto& button = windows_.buttons[static_cast<int>(place.button)];
        if (button != nullptr && window == button->Window()) {
            return ChildOf(ButtonControl(place.button));
        }
    }
    return 0;
}

LRESULT SettingsDialogWin32::AnswerObject(HWND window, WPARAM wParam, LPARAM lParam) {
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) ||
        windows_.form == nullptr) {
        return 0;
    }
    for (const auto& [made, object] : accessibles_) {
        if (made == window) {
            return DialogAccessibleResult(object, wParam);
        }
    }
    DialogAccessible* object = NewDialogAccessible(*this, window);
    accessibles_.emplace_back(window, object);
    return DialogAccessibleResult(object, wParam);
}

void SettingsDialogWin32::DetachAccessibles() {
    for (const auto& [window, object] : accessibles_) {
        DetachDialogAccessible(object);
    }
    accessibles_.clear();
}

// The kind that shows the focus: the selected one, or the top one when none is.
int SettingsDialogWin32::FocusedKind() const {
    for (int kind = 0; kind < 3; ++kind) {
        if (markSelected_[kind]) {
            return kind;
        }
    }
    return kKindsOnScreen[0];
}

LONG SettingsDialogWin32::ChildOf(DialogControl control) const {
    switch (control) {
        case DialogControl::Kinds:
            for (size_t i = 0; i < kKindsOnScreen.size(); ++i) {
                if (kKindsOnScreen[i] == FocusedKind()) {
                    return kFirstKindChild + static_cast<LONG>(i);
                }
            }
            return kFirstKindChild;
        case DialogControl::Repeat:
            return kRepeatChild;
        case DialogControl::FileButton:
            return kFileButtonChild;
        case DialogControl::SetButton:
            return kSetButtonChild;
        case DialogControl::CancelButton:
            return kCancelButtonChild;
        case DialogControl::Link:
            return kLinkChild;
    }
    return 0;
}

LONG SettingsDialogWin32::FocusedChild() {
    HWND focus = GetFocus();
    if (windows_.form == nullptr || focus == nullptr ||
        (focus != windows_.form && !IsChild(windows_.form, focus))) {
        return 0;
    }
    return ChildOf(keys_.FocusedControl());
}

RECT SettingsDialogWin32::ScreenRect(HWND window, const DialogRect& design) const {
    RECT rect = ToRect(scale_.Place(design));
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

std::vector<AccessibleElement> SettingsDialogWin32::Elements() {
    std::vector<AccessibleElement> elements;
    if (windows_.form == nullptr) {
        return elements;
    }
    const LONG focused = FocusedChild();
    const auto focusState = [&](LONG child) {
        return STATE_SYSTEM_FOCUSABLE | (focused == child ? STATE_SYSTEM_FOCUSED : 0);
    };
    for (size_t i = 0; i < kKindsOnScreen.size(); ++i) {
        const int kind = kKindsOnScreen[i];
        AccessibleElement element;
        element.role = SystemRole(kAccessibleKinds[kind].role);
        element.name = WidenUtf8(kAccessibleKinds[kind].name);
        element.state = focusState(kFirstKindChild + static_cast<LONG>(i)) |
                        (markSelected_[kind] ? STATE_SYSTEM_CHECKED : 0);
        RECT mark = ScreenRect(windows_.panel, kMarkRects[kind]);
        const RECT label = ScreenRect(windows_.panel, kKindLabelRects[kind]);
        UnionRect(&element.screen, &mark, &label);
        element.defaultAction = L"Check";
        elements.push_back(element);
    }
    AccessibleElement repeat;
    repeat.role = SystemRole(kAccessibleRepeat.role);
    repeat.name = WidenUtf8(kAccessibleRepeat.name);
    repeat.value = WidenAnsi(RepeatText());
    repeat.state =
        focusState(kRepeatChild) | (IsWindowEnabled(windows_.combo) ? 0 : STATE_SYSTEM_UNAVAILABLE);
    GetWindowRect(windows_.combo, &repeat.screen);
    repeat.screen.bottom = repeat.screen.top + scale_.Place(kRepeatComboRect).height;
    elements.push_back(repeat);

    const auto button = [&](DialogButton which, LONG child) {
        AccessibleElement element;
        CommandButtonWin32& control = *windows_.buttons[static_cast<int>(which)];
        element.role = SystemRole(kAccessibleButtons[static_cast<int>(which)].role);
        element.name = WidenUtf8(kAccessibleButtons[static_cast<int>(which)].name);
        const bool enabled = control.Control().EnabledField();
        element.state = focusState(child) | (enabled ? 0 : STATE_SYSTEM_UNAVAILABLE) |
                        (which == DialogButton::Set ? STATE_SYSTEM_DEFAULT : 0);
        GetWindowRect(control.Window(), &element.screen);
        element.defaultAction = L"Press";
        elements.push_back(element);
    };
    button(DialogButton::File, kFileButtonChild);

    AccessibleElement file;
    file.role = SystemRole(kAccessibleFileLabel.role);
    file.name = WidenUtf8(kAccessibleFileLabel.name);
    file.value = WidenAnsi(fileLabel_);
    file.state = STATE_SYSTEM_READONLY;
    file.screen = ScreenRect(windows_.panel, kFileLabelRect);
    elements.push_back(file);

    button(DialogButton::Set, kSetButtonChild);
    button(DialogButton::Cancel, kCancelButtonChild);

    AccessibleElement link;
    link.role = SystemRole(kAccessibleLink.role);
    link.name = WidenUtf8(kAccessibleLink.name);
    link.value = link.name;
    link.state = focusState(kLinkChild) | STATE_SYSTEM_LINKED;
    link.screen = ScreenRect(windows_.form, kLinkLabel.rect);
    link.defaultAction = L"Jump";
    elements.push_back(link);
    return elements;
}

void SettingsDialogWin32::DoDefaultAction(LONG child) {
    if (dialog_ == nullptr) {
        return;
    }
    if (child >= kFirstKindChild && child < kFirstKindChild + 3) {
        dialog_->KindMouseDown(kKindsOnScreen[child - kFirstKindChild]);
    } else if (child == kFileButtonChild || child == kSetButtonChild ||
               child == kCancelButtonChild) {
        // Posted: the click may close the window the client is still talking to.
        PostMessageA(windows_.form, kPressButton, static_cast<WPARAM>(child), 0);
    } else if (child == kLinkChild) {
        dialog_->LinkClick();
    }
}

ScreenSize SettingsDialogWin32::WindowOuterSize() {
    RECT rect;
    if (!GetWindowRect(windows_.form, &rect)) {
        throw std::runtime_error("GetWindowRect failed");
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

CommandButton& SettingsDialogWin32::Button(DialogButton button) {
    const auto& control = windows_.buttons[static_cast<int>(button)];
    if (control == nullptr) {
        throw std::runtime_error("the button's window could not be made");
    }
    return control->Control();
}

void SettingsDialogWin32::Replace(HBITMAP& slot, const Picture& picture, HWND window) {
    HBITMAP bitmap = CreateRgbBitmap(picture);
    if (bitmap == nullptr) {
        throw std::runtime_error("CreateDIBSection failed");
    }
    if (slot != nullptr) {
        DeleteObject(slot);
    }
    slot = bitmap;
    InvalidateRect(window, nullptr, FALSE);
}

void SettingsDialogWin32::SetPanelBackground(const Picture& picture) {
    Replace(panelPicture_, picture, windows_.panel);
}

void SettingsDialogWin32::SetFormBackground(const Picture& picture) {
    Replace(formPicture_, picture, windows_.form);
}

void SettingsDialogWin32::SetMarkPicture(int mark, bool selected) {
    markShown_.at(mark) = true;
    const bool changed = markSelected_.at(mark) != selected;
    markSelected_.at(mark) = selected;
    const RECT rect = ToRect(scale_.Place(kMarkRects[mark]));
    InvalidateRect(windows_.panel, &rect, FALSE);
    if (!changed) {
        return;
    }
    if (GetFocus() == windows_.panel) {
        InvalidateRect(windows_.panel, nullptr, FALSE);  // the focus mark follows the selection
    }
    for (size_t i = 0; i < kKindsOnScreen.size(); ++i) {
        if (kKindsOnScreen[i] == mark) {
            const LONG child = kFirstKindChild + static_cast<LONG>(i);
            NotifyWinEvent(EVENT_OBJECT_STATECHANGE, windows_.form, OBJID_CLIENT, child);
            if (selected && GetFocus() == windows_.panel) {
                AnnounceFocus();  // the panel's object is now this kind
            }
        }
    }
}

std::string SettingsDialogWin32::RepeatText() {
    char text[256] = {};
    GetWindowTextA(windows_.combo, text, sizeof text);
    return text;
}

std::optional<ScreenPoint> SettingsDialogWin32::CursorPosition() {
    POINT point;
    if (!GetCursorPos(&point)) {
        return std::nullopt;
    }
    return ScreenPoint{point.x, point.y};
}

void SettingsDialogWin32::SetScreenCursor(DialogCursor cursor) {
    busy_ = cursor == DialogCursor::Hourglass;
    SetCursor(LoadCursor(nullptr, busy_ ? IDC_WAIT : IDC_ARROW));
}

std::optional<std::string> SettingsDialogWin32::PickFile(const FilePickRequest& request) {
    // The wide call shows the Japanese title and filter on any system; the path comes back in
    // the ANSI code page, as the settings file keeps it.
    std::wstring filter = WidenUtf8(request.filterDescription);
    filter += L'\0';
    filter += WidenUtf8(request.filterPatterns);
    filter += L'\0';
    const std::wstring title = WidenUtf8(request.title);
    const std::wstring folder = WidenAnsi(request.initialFolder);
    // Room for any path, so that a pick too long for the settings file is said so (the dialog
    // refuses it) instead of failing silently in the file-open dialog.
    constexpr size_t kLongestPath = 32768;
    std::vector<wchar_t> file(std::max(kLongestPath, static_cast<size_t>(request.bufferCharacters)),
                              L'\0');
    std::vector<wchar_t> fileTitle(file.size(), L'\0');
    OPENFILENAMEW dialog = {};
    // The structure without the Windows 2000 tail: 76 bytes in a 32-bit program.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = windows_.form;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 0;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrFileTitle = fileTitle.data();
    dialog.nMaxFileTitle = static_cast<DWORD>(fileTitle.size());
    dialog.lpstrInitialDir = folder.c_str();
    dialog.lpstrTitle = title.c_str();
    dialog.Flags = 0;
    if (GetOpenFileNameW(&dialog) <= 0) {
        return std::nullopt;
    }
    const std::wstring picked(file.data());
    if (std::optional<std::string> ansi = ToAnsi(picked)) {
        return ansi;
    }
    // A name the ANSI code page cannot spell is kept by its short form, which it can.
    std::vector<wchar_t> shortPath(kLongestPath, L'\0');
    const DWORD length =
        GetShortPathNameW(picked.c_str(), shortPath.data(), static_cast<DWORD>(shortPath.size()));
    if (length == 0 || length >= shortPath.size()) {
        return std::nullopt;
    }
    return ToAnsi(shortPath.data());
}

void SettingsDialogWin32::OpenLink(const std::string& address) {
    ShellExecuteA(windows_.form, "open", address.c_str(), "", "", SW_SHOWNORMAL);
}

// A label sized to its text shows one line as it is; the path box wraps and clips its text.
void SettingsDialogWin32::DrawLabel(HDC dc, const DialogRect& rect, const std::wstring& text,
                                    uint32_t colour, bool centred, bool underlined, bool wrapped) {
    RECT box = {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
    HGDIOBJ original = SelectObject(dc, underlined ? linkFont_ : labelFont_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box,
              (centred ? DT_CENTER : DT_LEFT) | DT_TOP | DT_NOPREFIX |
                  (wrapped ? DT_WORDBREAK | DT_EDITCONTROL : DT_SINGLELINE | DT_NOCLIP));
    SelectObject(dc, original);
}

void SettingsDialogWin32::PaintForm(HDC dc) {
    BlitBitmap(dc, formPicture_, 0, 0, formWidth_, formHeight_);
    DrawLabel(dc, kCreditLabel);
    DrawLabel(dc, kLinkLabel);
    if (keys_.FocusCuesShown() && GetFocus() == windows_.form) {
        DrawDialogFocusMark(dc, scale_, kLinkLabel.rect);
    }
}

void SettingsDialogWin32::PaintPanel(HDC dc) {
    const DialogRect panel = scale_.Place(kPanelRect);
    BlitBitmap(dc, panelPicture_, 0, 0, panel.width, panel.height);
    const int markSize = scale_.Length(kMarkPictureSize);
    for (int mark = 0; mark < 3; ++mark) {
        const DialogRect place = scale_.Place(kMarkRects[mark]);
        if (markShown_[mark]) {
            BlitBitmap(dc, markPictures_[markSelected_[mark] ? 1 : 0], place.x, place.y, markSize,
                       markSize);
        }
        DrawLabel(dc, scale_.Place(kKindLabelRects[mark]), WidenUtf8(kKindLabelTexts[mark]),
                  0x000000, false, false);
    }
    DrawLabel(dc, kTitleLabel);
    DrawLabel(dc, kRepeatLabel);
    // The path box's single-line border, one pixel at 96 DPI.
    const DialogRect box = scale_.Place(kFileLabelRect);
    const int ring = scale_.Ring();
    RECT frame = {box.x, box.y, box.x + box.width, box.y + box.height};
    for (int line = 0; line < ring; ++line) {
        FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        InflateRect(&frame, -1, -1);
    }
    DrawLabel(dc, {box.x + ring, box.y + ring, box.width - 2 * ring, box.height - 2 * ring},
              WidenAnsi(fileLabel_), 0x000000, false, false, true);
    if (keys_.FocusCuesShown() && GetFocus() == windows_.panel) {
        DrawDialogFocusMark(dc, scale_, kKindLabelRects[FocusedKind()]);
    }
}

LRESULT CALLBACK SettingsDialogWin32::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SettingsDialogWin32*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return self->Handle(hwnd, message, wParam, lParam);
}

LRESULT SettingsDialogWin32::Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const bool isPanel = (GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) != 0;
    const DialogSurface surface = isPanel ? DialogSurface::Panel : DialogSurface::Form;
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
        case WM_ERASEBKGND:
            return 1;  // the paint covers everything
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(hwnd, &paint);
            if (isPanel) {
                PaintPanel(dc);
            } else {
                PaintForm(dc);
            }
            EndPaint(hwnd, &paint);
            return 0;
        }
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            if (message == WM_LBUTTONDOWN) {
                pressedOnLink_ = HitTest(surface, x, y, scale_).kind == DialogHit::Link;
            }
            if (dialog_ != nullptr) {
                dialog_->MouseDown(surface, x, y);
            }
            return 0;
        case WM_LBUTTONUP: {
            const bool click =
                pressedOnLink_ && HitTest(surface, x, y, scale_).kind == DialogHit::Link;
            pressedOnLink_ = false;
            if (click && dialog_ != nullptr) {
                dialog_->LinkClick();
            }
            return 0;
        }
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT) {
                POINT point;
                GetCursorPos(&point);
                ScreenToClient(hwnd, &point);
                const bool onLink =
                    HitTest(surface, point.x, point.y, scale_).kind == DialogHit::Link;
                SetCursor(busy_                              ? LoadCursor(nullptr, IDC_WAIT)
                          : onLink && handCursor_ != nullptr ? handCursor_
                                                             : LoadCursor(nullptr, IDC_ARROW));
                return TRUE;
            }
            break;
        case WM_SIZE:
            if (!isPanel && dialog_ != nullptr && wParam != SIZE_MINIMIZED &&
                (LOWORD(lParam) != formWidth_ || HIWORD(lParam) != formHeight_)) {
                formWidth_ = LOWORD(lParam);
                formHeight_ = HIWORD(lParam);
                dialog_->FormResize(formWidth_, formHeight_);
            }
            return 0;
        case kDpiChanged:
            // Moved to a monitor of another scale: lay out again, in the rectangle Windows
            // suggests for the new DPI.
            if (!isPanel) {
                ApplyScale(LOWORD(wParam));
                const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
                if (suggested != nullptr) {
                    SetWindowPos(hwnd, nullptr, suggested->left, suggested->top,
                                 suggested->right - suggested->left,
                                 suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
                }
                return 0;
            }
            break;
        case WM_ACTIVATE:
            // Back to the control that had the focus, not to the form (which stands for the
            // link).
            if (!isPanel) {
                if (LOWORD(wParam) == WA_INACTIVE) {
                    HWND focus = GetFocus();
                    if (focus != nullptr &&
                        (focus == windows_.form || IsChild(windows_.form, focus))) {
                        focusToRestore_ = focus;
                    }
                } else if (!HIWORD(wParam) && focusToRestore_ != nullptr &&
                           IsWindow(focusToRestore_)) {
                    SetFocus(focusToRestore_);
                }
                return 0;
            }
            break;
        case WM_GETOBJECT:
            if (const LRESULT answer = AnswerObject(hwnd, wParam, lParam)) {
                return answer;
            }
            break;
        case kPressButton:
            if (!isPanel) {
                const LONG child = static_cast<LONG>(wParam);
                const DialogButton which = child == kFileButtonChild  ? DialogButton::File
                                           : child == kSetButtonChild ? DialogButton::Set
                                                                      : DialogButton::Cancel;
                const auto& button = windows_.buttons[static_cast<int>(which)];
                if (button != nullptr) {
                    button->Control().KeyActivate();
                }
                return 0;
            }
            break;
        case WM_CLOSE:
            if (!isPanel) {
                DestroyWindow(hwnd);
                return 0;
            }
            break;
        case WM_DESTROY:
            if (!isPanel) {
                // The window is still there, so the zoom can shrink from its rectangle.
                if (dialog_ != nullptr) {
                    dialog_->FormUnload();
                }
                closed_ = true;
                windows_.form = nullptr;
                windows_.panel = nullptr;
            }
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

void RunSettingsDialogWin32(const std::string& settingsFile) {
    SettingsDialogWin32 window;
    if (!window.Create()) {
        OutputDebugStringA("Velmoria: the settings dialog's window could not be made\n");
        return;
    }
    SettingsDialog dialog(window, settingsFile);
    window.Run(dialog);
}

bool WithSettingsDialogWindowWin32(const std::string& settingsFile,
                                   const std::function<void(HWND form)>& use) {
    SettingsDialogWin32 window;
    if (!window.Create()) {
        return false;
    }
    SettingsDialog dialog(window, settingsFile);
    window.Open(dialog);
    use(window.Form());
    window.Close();
    return true;
}

}  // namespace velmoria
