// The renderer's window on Windows: registration, creation, pixel format and WGL context, the
// message pump the frame loop drives, and the window procedure with its exit rules; the black
// windows over the other monitors.
#include "renderer/win32/renderer_window_win32.h"

#include <cstring>

#include "common/saver_contract.h"
#include "renderer/diagnostics.h"
#include "renderer/input_rules.h"
#include "renderer/renderer_program.h"

namespace velmoria {

namespace {

const char kBlackWindowClass[] = "Velmoria.Black";

// The window whose black windows follow WM_DISPLAYCHANGE; one per process.
RendererWindowWin32* followingWindow = nullptr;

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT rect, LPARAM list) {
    reinterpret_cast<std::vector<ScreenRect>*>(list)->push_back(
        {rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top});
    return TRUE;
}

// Input as the exit rules know it; false for a message that is no input.
bool TranslateInput(UINT message, RendererInput& input) {
    switch (message) {
        case WM_KEYDOWN:
            input = RendererInput::KeyDown;
            return true;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            input = RendererInput::ButtonDown;
            return true;
        case WM_MOUSEMOVE:
            input = RendererInput::MouseMove;
            return true;
        default:
            return false;
    }
}

// Posts, never sends: the window closes when the loop dispatches the message.
void RequestClose(SaverSettings& settings) {
    PostMessageA(reinterpret_cast<HWND>(settings.hwnd), WM_CLOSE, 0, 0);
}

CursorPoint CursorPosition() {
    POINT point = {0, 0};
    GetCursorPos(&point);
    return {point.x, point.y};
}

// Judges input on any window of ours; a close goes to the animated window.
void JudgeInput(HWND window, UINT message) {
    RendererInput input;
    if (followingWindow == nullptr || !TranslateInput(message, input)) {
        return;
    }
    SaverSettings& settings = *saverSettings;
    const CursorPoint cursor =
        input == RendererInput::MouseMove ? CursorPosition() : CursorPoint{0, 0};
    if (followingWindow->monitors().InputCloses(reinterpret_cast<uintptr_t>(window), input,
                                                settings, cursor)) {
        RequestClose(settings);
    }
}

}  // namespace

std::vector<ScreenRect> MonitorsWin32() {
    std::vector<ScreenRect> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverSettings& settings = *saverSettings;
    switch (message) {
        case WM_CREATE:
            settings.hwnd = reinterpret_cast<uintptr_t>(window);
            settings.startCursor = CursorPosition();
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        case WM_DISPLAYCHANGE:
            // A monitor added, removed or moved; the animated window stays as it is.
            if (followingWindow != nullptr) {
                followingWindow->FollowMonitors();
            }
            break;
        case WM_POWERBROADCAST:
            // The displays asleep: no frames until they wake.
            if (wParam == PBT_POWERSETTINGCHANGE && followingWindow != nullptr) {
                const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(lParam);
                if (setting != nullptr && setting->PowerSetting == GUID_CONSOLE_DISPLAY_STATE &&
                    setting->DataLength >= sizeof(DWORD)) {
                    DWORD state = 1;
                    std::memcpy(&state, setting->Data, sizeof state);
                    followingWindow->FollowDisplayState(state);
                }
            }
            break;
        default:
            JudgeInput(window, message);
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK BlackWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_CLOSE:
            // Alt+F4 on a black window ends the saver, not just that window.
            RequestClose(*saverSettings);
            return 0;
        default:
            JudgeInput(window, message);
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RendererWindowWin32::Create(SaverSettings&, int32_t& width, int32_t& height) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = RendererWndProc;
    windowClass.lpszClassName = kRendererWindowClass;
    if (RegisterClassA(&windowClass) == 0) {
        ReportRendererFailure("Win32", "cannot register the window class");
        return false;
    }
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    followingWindow = this;  // from here on every window of ours judges input through it
    // WM_CREATE records the window and the cursor in the settings record.
    window_ = CreateWindowExA(0, kRendererWindowClass, kRendererWindowTitle, WS_POPUP | WS_VISIBLE,
                              0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
    if (window_ == nullptr) {
        ReportRendererFailure("Win32", "cannot create the window");
        return false;
    }
    // Every other monitor goes black with it.
    animatedRect_ = {0, 0, width, height};
    FollowMonitors();
    displayNotification_ = RegisterPowerSettingNotification(window_, &GUID_CONSOLE_DISPLAY_STATE,
                                                            DEVICE_NOTIFY_WINDOW_HANDLE);
    // Frame waits of a few milliseconds need a finer timer than the default 15.6 ms.
    finerTimer_ = timeBeginPeriod(1) == TIMERR_NOERROR;
    deviceContext_ = GetDC(window_);

    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    const int formatIndex = ChoosePixelFormat(deviceContext_, &format);
    if (formatIndex == 0) {
        ReportRendererFailure("WGL", "no pixel format fits");
        return false;
    }
    if (!SetPixelFormat(deviceContext_, formatIndex, &format)) {
        ReportRendererFailure("WGL", "cannot set the pixel format");
        return false;
    }
    DescribePixelFormat(deviceContext_, formatIndex, sizeof(PIXELFORMATDESCRIPTOR), &format);

    // Without a context the loop still runs and input still ends it; nothing is drawn.
    context_ = wglCreateContext(deviceContext_);
    if (context_ == nullptr) {
        ReportRendererFailure("WGL", "cannot create a context");
    } else if (!wglMakeCurrent(deviceContext_, context_)) {
        ReportRendererFailure("WGL", "cannot make the context current");
    }
    return true;
}

void RendererWindowWin32::Show(int showCommand) {
    ShowWindow(window_, showCommand);
}

RendererWindow::Message RendererWindowWin32::HandleNextMessage() {
    MSG message;
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        return Message::QueueEmpty;
    }
    if (message.message == WM_QUIT) {
        return Message::Quit;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return Message::Handled;
}

void RendererWindowWin32::SwapBuffers() {
    ::SwapBuffers(deviceContext_);
}

void RendererWindowWin32::WaitForMessage(int64_t timeoutUs) {
    const DWORD milliseconds = static_cast<DWORD>((timeoutUs + 999) / 1000);
    MsgWaitForMultipleObjectsEx(0, nullptr, milliseconds, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

// The window is already gone (destroyed by the close sequence); the class goes with the process.
void RendererWindowWin32::TearDown() {
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(window_, deviceContext_);
    wglDeleteContext(context_);
    monitors_.DestroyBlackWindows(*this);
    if (displayNotification_ != nullptr) {
        UnregisterPowerSettingNotification(displayNotification_);
    }
    if (finerTimer_) {
        timeEndPeriod(1);
    }
    followingWindow = nullptr;
}

void RendererWindowWin32::FollowMonitors() {
    monitors_.Follow(MonitorsWin32(), animatedRect_, *this);
}

// Topmost and shown without taking the activation from the animated window.
uintptr_t RendererWindowWin32::CreateBlackWindow(const ScreenRect& rect) {
    if (!blackClassRegistered_) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = BlackWndProc;
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
        windowClass.lpszClassName = kBlackWindowClass;
        blackClassRegistered_ = RegisterClassA(&windowClass) != 0;
    }
    HWND black =
        CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kBlackWindowClass, "", WS_POPUP, rect.x,
                        rect.y, rect.width, rect.height, nullptr, nullptr, nullptr, nullptr);
    if (black == nullptr) {
        ReportRendererFailure("Win32", "cannot create a black window");
        return 0;
    }
    SetWindowPos(black, HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    return reinterpret_cast<uintptr_t>(black);
}

void RendererWindowWin32::DestroyBlackWindow(uintptr_t window) {
    DestroyWindow(reinterpret_cast<HWND>(window));
}

}  // namespace velmoria
