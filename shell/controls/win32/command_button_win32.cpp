#include "shell/controls/win32/command_button_win32.h"

#include <string>

#include "assets/button_pictures.h"
#include "shell/controls/button_face.h"

namespace velmoria {

HBITMAP CreateRgbBitmap(const Picture& image) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr) {
        return nullptr;
    }
    const int stride = (image.width * 3 + 3) & ~3;
    for (int y = 0; y < image.height; ++y) {
        auto* row = static_cast<uint8_t*>(bits) + y * stride;
        for (int x = 0; x < image.width; ++x) {
            const uint32_t rgb = image.At(x, y);
            row[x * 3] = static_cast<uint8_t>(rgb);
            row[x * 3 + 1] = static_cast<uint8_t>(rgb >> 8);
            row[x * 3 + 2] = static_cast<uint8_t>(rgb >> 16);
        }
    }
    return bitmap;
}

namespace {

const char* const kClassName = "Skorvane.Command";
constexpr UINT_PTR kTrackingTimer = 1;
// WM_DPICHANGED_AFTERPARENT (Windows 10 1703), which older headers lack.
constexpr UINT kDpiChangedAfterParent = 0x02E3;

COLORREF ToColorRef(uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}

// The six state pictures as 24-bit bitmaps, made once for all controls.
HBITMAP StatePicture(ButtonLook look) {
    static HBITMAP pictures[6] = {};
    HBITMAP& picture = pictures[static_cast<int>(look)];
    if (picture == nullptr) {
        picture = CreateRgbBitmap(MakeButtonPicture(look));
    }
    return picture;
}

}  // namespace

namespace {

std::wstring Widen(UINT codePage, const std::string& text) {
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        MultiByteToWideChar(codePage, 0, text.data(), size, &wide[0], length);
    }
    return wide;
}

}  // namespace

std::wstring WidenUtf8(const std::string& utf8) {
    return Widen(CP_UTF8, utf8);
}

std::wstring WidenAnsi(const std::string& text) {
    return Widen(CP_ACP, text);
}

HFONT MakeGdiFont(int dpi, const ButtonFont& font) {
    LOGFONTW logFont = {};
    logFont.lfHeight = -static_cast<LONG>(font.points * dpi / 72 + 0.5);
    logFont.lfWeight = font.weight;
    logFont.lfItalic = font.italic;
    logFont.lfUnderline = font.underline;
    logFont.lfStrikeOut = font.strikeout;
    logFont.lfCharSet = static_cast<BYTE>(font.charset);
    const std::wstring name = WidenUtf8(font.name);
    lstrcpynW(logFont.lfFaceName, name.c_str(), LF_FACESIZE);
    return CreateFontIndirectW(&logFont);
}

int WindowDpi(HWND window) {
    // Windows 10 1607 and later; looked up so that older systems fall back to the screen's.
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow != nullptr && window != nullptr) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) {
            return static_cast<int>(dpi);
        }
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : 96;
}

namespace {

bool RegisterButtonClass() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;  // replaced per window once it is made
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
        windowClass.lpszClassName = kClassName;
        registered = RegisterClassA(&windowClass) != 0;
    }
    return registered;
}

}  // namespace

void PaintFaceGdi(HDC dc, int width, int height, ButtonLook look, bool reverseGradient, int ring) {
    RECT all = {0, 0, width, height};
    HBRUSH background = CreateSolidBrush(ToColorRef(kFaceBackground));
    FillRect(dc, &all, background);
    DeleteObject(background);

    // One rectangle whose upper-left entry is vertex 1 and lower-right entry vertex 0: the fill
    // runs from the upper vertex down whatever the order.
    const FaceGradient gradient = FaceGradientColours(reverseGradient);
    TRIVERTEX vertices[2] = {};
    vertices[0].x = 0;
    vertices[0].y = 0;
    vertices[0].Red = gradient.top.red;
    vertices[0].Green = gradient.top.green;
    vertices[0].Blue = gradient.top.blue;
    vertices[1].x = width - 1;
    vertices[1].y = height - 1;
    vertices[1].Red = gradient.bottom.red;
    vertices[1].Green = gradient.bottom.green;
    vertices[1].Blue = gradient.bottom.blue;
    GRADIENT_RECT mesh = {1, 0};
    GradientFill(dc, vertices, 2, &mesh, 1, GRADIENT_FILL_RECT_V);

    HDC pictureDc = CreateCompatibleDC(dc);
    const HGDIOBJ original = SelectObject(pictureDc, StatePicture(look));
    const int oldMode = SetStretchBltMode(dc, COLORONCOLOR);
    for (const FacePiece& piece : FacePiecesAt(width, height, ring)) {
        const PieceRect& s = piece.source;
        const PieceRect& t = piece.target;
        if (s.width == t.width && s.height == t.height) {
            BitBlt(dc, t.x, t.y, t.width, t.height, pictureDc, s.x, s.y, SRCCOPY);
        } else {
            StretchBlt(dc, t.x, t.y, t.width, t.height, pictureDc, s.x, s.y, s.width, s.height,
                       SRCCOPY);
        }
    }
    SetStretchBltMode(dc, oldMode);
    SelectObject(pictureDc, original);
    DeleteDC(pictureDc);
}

CommandButtonWin32::CommandButtonWin32(const ButtonFont& hostFont, std::function<void()> onClick)
    : control_(*this, hostFont), onClick_(std::move(onClick)) {}

std::unique_ptr<CommandButtonWin32> CommandButtonWin32::Create(HWND parent, const RECT& rect,
                                                               const ButtonPropertySet& properties,
                                                               const ButtonFont& hostFont,
                                                               std::function<void()> onClick) {
    if (!RegisterButtonClass()) {
        return nullptr;
    }
    std::unique_ptr<CommandButtonWin32> button(
        new CommandButtonWin32(hostFont, std::move(onClick)));
    HWND hwnd = CreateWindowExA(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP, rect.left,
                                rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return nullptr;
    }
    button->window_ = hwnd;
    button->dpi_ = WindowDpi(hwnd);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(button.get()));
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
    button->control_.ReadProperties(properties);
    RECT client;
    GetClientRect(hwnd, &client);
    button->ResizeFace(client.right, client.bottom);
    return button;
}

CommandButtonWin32::~CommandButtonWin32() {
    if (window_ != nullptr) {
        SetWindowLongPtrA(window_, GWLP_USERDATA, 0);
        DestroyWindow(window_);
    }
    if (faceDc_ != nullptr) {
        SelectObject(faceDc_, faceDcOriginal_);
        DeleteDC(faceDc_);
    }
    if (faceBitmap_ != nullptr) {
        DeleteObject(faceBitmap_);
    }
    if (font_ != nullptr) {
        DeleteObject(font_);
    }
}

LRESULT CALLBACK CommandButtonWin32::WindowProc(HWND hwnd, UINT message, WPARAM wParam,
                                                LPARAM lParam) {
    auto* button = reinterpret_cast<CommandButtonWin32*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (button == nullptr) {
        return DefWindowProcA(hwnd, message, wParam, lParam);
    }
    return button->Handle(message, wParam, lParam);
}

LRESULT CommandButtonWin32::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND hwnd = window_;
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            // The control keeps the mouse until the release, wherever the cursor goes.
            SetCapture(hwnd);
            control_.MouseDown(message == WM_LBUTTONDOWN   ? MouseButton::Left
                               : message == WM_RBUTTONDOWN ? MouseButton::Right
                                                           : MouseButton::Middle);
            return 0;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
        case WM_MBUTTONUP:
            if ((wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) == 0 && GetCapture() == hwnd) {
                ReleaseCapture();
            }
            // Last: the host's click may close the form this control sits on.
            control_.MouseUp(message == WM_LBUTTONUP   ? MouseButton::Left
                             : message == WM_RBUTTONUP ? MouseButton::Right
                                                       : MouseButton::Middle);
            return 0;
        case WM_MOUSEMOVE:
            control_.MouseMove();
            return 0;
        case WM_SETFOCUS:
            control_.FocusGained();
            InvalidateRect(hwnd, nullptr, FALSE);  // the focus rectangle
            return 0;
        case WM_KILLFOCUS:
            control_.FocusLost();
            InvalidateRect(hwnd, nullptr, FALSE);
            return 0;
        case WM_TIMER:
            if (wParam == kTrackingTimer) {
                Track();
            }
            return 0;
        case WM_SIZE:
            FollowDpi();
            ResizeFace(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case kDpiChangedAfterParent:
            if (FollowDpi()) {
                ResizeFace(faceWidth_, faceHeight_);
            }
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            Paint();
            return 0;
        case WM_GETOBJECT:
            if (objectAnswer_) {
                if (const LRESULT answer = objectAnswer_(wParam, lParam)) {
                    return answer;
                }
            }
            return DefWindowProcA(hwnd, message, wParam, lParam);
        case WM_DESTROY:
            KillTimer(hwnd, kTrackingTimer);
            window_ = nullptr;
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

void CommandButtonWin32::ResizeFace(int width, int height) {
    if (faceDc_ == nullptr) {
        faceDc_ = CreateCompatibleDC(nullptr);
    }
    if (faceBitmap_ != nullptr) {
        SelectObject(faceDc_, faceDcOriginal_);
        DeleteObject(faceBitmap_);
        faceBitmap_ = nullptr;
    }
    faceWidth_ = width;
    faceHeight_ = height;
    if (width > 0 && height > 0) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        faceBitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        if (faceBitmap_ != nullptr) {
            faceDcOriginal_ = SelectObject(faceDc_, faceBitmap_);
        }
    }
    // The control measures in twips, 1/1440 inch: 15 to the pixel at 96 DPI.
    control_.Resized(width * 1440 / dpi_, height * 1440 / dpi_);
}

bool CommandButtonWin32::FollowDpi() {
    const int dpi = WindowDpi(window_);
    const bool changed = dpi != dpi_;
    dpi_ = dpi;
    return changed;
}

void CommandButtonWin32::DrawFace(ButtonLook look, bool reverseGradient) {
    if (faceBitmap_ == nullptr) {
        return;
    }
    PaintFaceGdi(faceDc_, faceWidth_, faceHeight_, look, reverseGradient, FaceRing(dpi_));
    if (window_ != nullptr) {
        InvalidateRect(window_, nullptr, FALSE);
        UpdateWindow(window_);
    }
}

void CommandButtonWin32::LabelChanged() {
    if (window_ != nullptr) {
        InvalidateRect(window_, nullptr, FALSE);
    }
}

void CommandButtonWin32::StartTrackingTimer(int intervalMs) {
    if (window_ != nullptr) {
        SetTimer(window_, kTrackingTimer, static_cast<UINT>(intervalMs), nullptr);
    }
}

void CommandButtonWin32::TakeFocus() {
    if (window_ != nullptr && GetFocus() != window_) {
        SetFocus(window_);
    }
}

void CommandButtonWin32::SetFocusCuesShown(bool shown) {
    if (shown != focusCuesShown_ && window_ != nullptr) {
        InvalidateRect(window_, nullptr, FALSE);
    }
    focusCuesShown_ = shown;
}

void CommandButtonWin32::RaiseClick() {
    if (onClick_) {
        onClick_();
    }
}

void CommandButtonWin32::Track() {
    POINT cursor;
    if (!GetCursorPos(&cursor)) {
        return;
    }
    HWND under = WindowFromPoint(cursor);
    control_.TrackingTick(under == window_                         ? PointerOver::Control
                          : under == GetAncestor(window_, GA_ROOT) ? PointerOver::ParentForm
                                                                   : PointerOver::Elsewhere);
}

void CommandButtonWin32::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window_, &paint);
    RECT client;
    GetClientRect(window_, &client);
    // Composed off screen, so the caption never flickers over a bare face.
    HDC buffer = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right, client.bottom);
    const HGDIOBJ original = SelectObject(buffer, bitmap);
    if (control_.Opaque() && faceBitmap_ != nullptr) {
        BitBlt(buffer, 0, 0, faceWidth_, faceHeight_, faceDc_, 0, 0, SRCCOPY);
    } else {
        // Transparent: what the parent shows behind the control.
        HWND parent = GetParent(window_);
        POINT origin = {0, 0};
        MapWindowPoints(window_, parent, &origin, 1);
        POINT old;
        SetViewportOrgEx(buffer, -origin.x, -origin.y, &old);
        SendMessageA(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer), 0);
        SendMessageA(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer), PRF_CLIENT);
        SetViewportOrgEx(buffer, old.x, old.y, nullptr);
    }
    DrawCaption(buffer, client.right);
    if (focusCuesShown_ && GetFocus() == window_) {
        // Inside the face's 4-pixel ring, one pixel clear of it, so the caption stays clear.
        RECT focus = client;
        const int inset = 5 * FaceRing(dpi_);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(buffer, &focus);
    }
    BitBlt(dc, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
    SelectObject(buffer, original);
    DeleteObject(bitmap);
    DeleteDC(buffer);
    EndPaint(window_, &paint);
}

void CommandButtonWin32::DrawCaption(HDC dc, int width) {
    const CaptionLabel& label = control_.Label();
    if (font_ == nullptr || label.font != fontMadeFrom_ || fontDpi_ != dpi_) {
        if (font_ != nullptr) {
            DeleteObject(font_);
        }
        font_ = MakeGdiFont(dpi_, label.font);
        fontMadeFrom_ = label.font;
        fontDpi_ = dpi_;
    }
    const int top = TwipsToPixelsAt(label.topTwips, dpi_);
    RECT area = {0, top, width, top + TwipsToPixelsAt(kCaptionHeightTwips, dpi_)};
    const HGDIOBJ originalFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, label.enabled ? static_cast<COLORREF>(label.colour & 0xFFFFFF)
                                   : ToColorRef(kGreyedCaption));
    const std::wstring text = WidenUtf8(label.caption);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, DT_CENTER | DT_WORDBREAK);
    SelectObject(dc, originalFont);
}

}  // namespace velmoria
