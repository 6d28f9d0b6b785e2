// The settings dialog's Win32 windows: the form and its panel at the layout's rectangles, events
// passed to the dialog's handlers, and the calls of SettingsDialogView done with user32, gdi32,
// comdlg32 and shell32.
#include "shell/settings_dialog/win32/settings_dialog_win32.h"

#include <windows.h>
// These two need windows.h first.
#include <commdlg.h>
#include <shellapi.h>

#include <array>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "assets/dialog_pictures.h"
#include "shell/controls/win32/command_button_win32.h"
#include "shell/settings_dialog/settings_dialog.h"

namespace velmoria {

namespace {

const char* const kFormClass = "Skorvane_P";
const char* const kPanelClass = "Skorvane_P.Panel";
constexpr DWORD kFormStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr int kComboListHeight = 200;

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
HICON MakeIcon(const RgbImage& picture, bool isIcon, int hotX, int hotY) {
    const int maskStride = ((picture.width + 15) / 16) * 2;
    std::vector<uint8_t> mask(static_cast<size_t>(maskStride) * picture.height, 0);
    RgbImage colour(picture.width, picture.height);
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

class SettingsDialogWin32 final : public SettingsDialogView {
  public:
    ~SettingsDialogWin32() override;

    bool Create();
    void Run(SettingsDialog& dialog);

    ScreenArea Screen() override {
        return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    }
    ScreenSize WindowOuterSize() override;
    void MoveWindow(int32_t left, int32_t top) override {
        SetWindowPos(form_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    uintptr_t WindowHandle() override { return reinterpret_cast<uintptr_t>(form_); }
    CommandButton& Button(DialogButton button) override;
    void SetPanelBackground(const RgbImage& picture) override;
    void SetFormBackground(const RgbImage& picture) override;
    void SetMarkPicture(int mark, bool selected) override;
    void SetRepeatEnabled(bool enabled) override { EnableWindow(combo_, enabled); }
    void SetRepeatText(const std::string& text) override { SetWindowTextA(combo_, text.c_str()); }
    void AddRepeatEntry(const std::string& text) override {
        SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    std::string RepeatText() override;
    void SetFileLabel(const std::string& text) override {
        fileLabel_ = text;
        InvalidateRect(panel_, nullptr, FALSE);
    }
    std::optional<ScreenPoint> CursorPosition() override;
    void SetScreenCursor(DialogCursor cursor) override;
    std::optional<std::string> PickFile(const FilePickRequest& request) override;
    void OpenLink(const std::string& address) override;
    void Close() override {
        if (form_ != nullptr) {
            DestroyWindow(form_);
        }
    }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    LRESULT Handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void PaintForm(HDC dc);
    void PaintPanel(HDC dc);
    void DrawLabel(HDC dc, const DialogRect& rect, const std::wstring& text, uint32_t colour,
                   bool centred, bool underlined, bool wrapped = false);
    void DrawLabel(HDC dc, const DialogLabel& label) {
        DrawLabel(dc, label.rect, WidenUtf8(label.text), label.colour, label.centred,
                  label.underlined);
    }
    void Replace(HBITMAP& slot, const RgbImage& picture, HWND window);

    SettingsDialog* dialog_ = nullptr;
    HWND form_ = nullptr;
    HWND panel_ = nullptr;
    HWND combo_ = nullptr;
    HFONT labelFont_ = nullptr;
    HFONT linkFont_ = nullptr;
    HFONT comboFont_ = nullptr;
    HBITMAP formPicture_ = nullptr;
    HBITMAP panelPicture_ = nullptr;
    std::array<HBITMAP, 2> markPictures_{};
    std::array<bool, 3> markShown_{};
    std::array<bool, 3> markSelected_{};
    std::array<std::unique_ptr<CommandButtonWin32>, 3> buttons_;
    std::string fileLabel_;
    HCURSOR handCursor_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
    bool busy_ = false;
    bool pressedOnLink_ = false;
    bool closed_ = false;
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
    RECT outer = {0, 0, kDialogClientWidth, kDialogClientHeight};
    AdjustWindowRectEx(&outer, kFormStyle, FALSE, 0);
    form_ = CreateWindowExA(0, kFormClass, "<Velmoria>", kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                            outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                            GetModuleHandleA(nullptr), this);
    if (form_ == nullptr) {
        return false;
    }
    panel_ = CreateWindowExA(0, kPanelClass, "",
                             WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS,
                             kPanelRect.x, kPanelRect.y, kPanelRect.width, kPanelRect.height, form_,
                             nullptr, GetModuleHandleA(nullptr), this);

    HDC screen = GetDC(nullptr);
    labelFont_ = MakeGdiFont(screen, DialogFont());
    ButtonFont link = DialogFont();
    link.underline = true;
    linkFont_ = MakeGdiFont(screen, link);
    comboFont_ =
        MakeGdiFont(screen, ButtonFont{"Tahoma", kRepeatComboPoints, 400, false, false, false, 0});
    ReleaseDC(nullptr, screen);

    combo_ = CreateWindowExA(0, "COMBOBOX", "",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN,
                             kRepeatComboRect.x, kRepeatComboRect.y, kRepeatComboRect.width,
                             kRepeatComboRect.height + kComboListHeight, panel_, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
    if (combo_ != nullptr) {
        SendMessageA(combo_, WM_SETFONT, reinterpret_cast<WPARAM>(comboFont_), FALSE);
        // The closed box is exactly the layout's height: the selection field plus its edges.
        const auto edges = static_cast<int>(GetSystemMetrics(SM_CYEDGE)) * 2 + 2;
        SendMessageA(combo_, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1),
                     kRepeatComboRect.height - edges);
    }

    for (const DialogButtonPlace& place : kDialogButtons) {
        const DialogButton which = place.button;
        const RECT rect = {place.rect.x, place.rect.y, place.rect.x + place.rect.width,
                           place.rect.y + place.rect.height};
        buttons_[static_cast<int>(which)] = CommandButtonWin32::Create(
            place.surface == DialogSurface::Panel ? panel_ : form_, rect,
            ButtonPropertySet::Parse(place.properties), DialogFont(), [this, which] {
                if (dialog_ != nullptr) {
                    dialog_->ButtonClick(which);
                }
            });
    }

    markPictures_[0] = CreateRgbBitmap(MakeSelectionMark(false));
    markPictures_[1] = CreateRgbBitmap(MakeSelectionMark(true));
    handCursor_ = MakeIcon(MakeHandCursor(), false, kHandCursorHotX, kHandCursorHotY);
    bigIcon_ = MakeIcon(MakeDialogIcon(32), true, 0, 0);
    smallIcon_ = MakeIcon(MakeDialogIcon(16), true, 0, 0);
    SendMessageA(form_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    SendMessageA(form_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    return true;
}

void SettingsDialogWin32::Run(SettingsDialog& dialog) {
    dialog_ = &dialog;
    dialog.FormLoad();
    RECT client;
    GetClientRect(form_, &client);
    formWidth_ = client.right;
    formHeight_ = client.bottom;
    dialog.FormResize(formWidth_, formHeight_);
    ShowWindow(form_, SW_SHOWNORMAL);
    UpdateWindow(form_);
    MSG message;
    while (!closed_ && GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    dialog_ = nullptr;
}

ScreenSize SettingsDialogWin32::WindowOuterSize() {
    RECT rect;
    if (!GetWindowRect(form_, &rect)) {
        throw std::runtime_error("GetWindowRect failed");
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

CommandButton& SettingsDialogWin32::Button(DialogButton button) {
    const auto& control = buttons_[static_cast<int>(button)];
    if (control == nullptr) {
        throw std::runtime_error("the button's window could not be made");
    }
    return control->Control();
}

void SettingsDialogWin32::Replace(HBITMAP& slot, const RgbImage& picture, HWND window) {
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

void SettingsDialogWin32::SetPanelBackground(const RgbImage& picture) {
    Replace(panelPicture_, picture, panel_);
}

void SettingsDialogWin32::SetFormBackground(const RgbImage& picture) {
    Replace(formPicture_, picture, form_);
}

void SettingsDialogWin32::SetMarkPicture(int mark, bool selected) {
    markShown_.at(mark) = true;
    markSelected_.at(mark) = selected;
    const DialogRect& r = kMarkRects[mark];
    const RECT rect = {r.x, r.y, r.x + r.width, r.y + r.height};
    InvalidateRect(panel_, &rect, FALSE);
}

std::string SettingsDialogWin32::RepeatText() {
    char text[256] = {};
    GetWindowTextA(combo_, text, sizeof text);
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
    std::vector<wchar_t> file(static_cast<size_t>(request.bufferCharacters), L'\0');
    std::vector<wchar_t> fileTitle(static_cast<size_t>(request.bufferCharacters), L'\0');
    OPENFILENAMEW dialog = {};
    // The structure without the Windows 2000 tail: 76 bytes in a 32-bit program.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = form_;
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
    wchar_t shortPath[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(picked.c_str(), shortPath, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return std::nullopt;
    }
    return ToAnsi(shortPath);
}

void SettingsDialogWin32::OpenLink(const std::string& address) {
    ShellExecuteA(form_, "open", address.c_str(), "", "", SW_SHOWNORMAL);
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
}

void SettingsDialogWin32::PaintPanel(HDC dc) {
    BlitBitmap(dc, panelPicture_, 0, 0, kPanelRect.width, kPanelRect.height);
    for (int mark = 0; mark < 3; ++mark) {
        if (markShown_[mark]) {
            BlitBitmap(dc, markPictures_[markSelected_[mark] ? 1 : 0], kMarkRects[mark].x,
                       kMarkRects[mark].y, kMarkPictureSize, kMarkPictureSize);
        }
        DrawLabel(dc, kKindLabelRects[mark], WidenUtf8(kKindLabelTexts[mark]), 0x000000, false,
                  false);
    }
    DrawLabel(dc, kTitleLabel);
    DrawLabel(dc, kRepeatLabel);
    const DialogRect& box = kFileLabelRect;
    RECT frame = {box.x, box.y, box.x + box.width, box.y + box.height};
    FrameRect(dc, &frame, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    DrawLabel(dc, {box.x + 1, box.y + 1, box.width - 2, box.height - 2}, WidenAnsi(fileLabel_),
              0x000000, false, false, true);
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
                pressedOnLink_ = HitTest(surface, x, y).kind == DialogHit::Link;
            }
            if (dialog_ != nullptr) {
                dialog_->MouseDown(surface, x, y);
            }
            return 0;
        case WM_LBUTTONUP: {
            const bool click = pressedOnLink_ && HitTest(surface, x, y).kind == DialogHit::Link;
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
                const bool onLink = HitTest(surface, point.x, point.y).kind == DialogHit::Link;
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
                form_ = nullptr;
                panel_ = nullptr;
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

}  // namespace velmoria
