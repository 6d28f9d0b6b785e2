// The renderer's window on Windows: registration, creation, pixel format and WGL context, the
// message pump the frame loop drives, and the window procedure with its exit rules.
#include "renderer/win32/renderer_window_win32.h"

#include "common/saver_contract.h"
#include "renderer/diagnostics.h"
#include "renderer/input_rules.h"
#include "renderer/renderer_program.h"

namespace velmoria {

namespace {

// Posts, never sends: the window closes when the loop dispatches the message.
void RequestClose(SaverSettings& settings) {
    PostMessageA(reinterpret_cast<HWND>(settings.hwnd), WM_CLOSE, 0, 0);
}

CursorPoint CursorPosition() {
    POINT point = {0, 0};
    GetCursorPos(&point);
    return {point.x, point.y};
}

}  // namespace

LRESULT CALLBACK RendererWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    SaverSettings& settings = *saverSettings;
    RendererInput input = RendererInput::KeyDown;
    bool judge = true;
    switch (message) {
        case WM_CREATE:
            settings.hwnd = reinterpret_cast<uintptr_t>(window);
            settings.startCursor = CursorPosition();
            judge = false;
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            judge = false;
            break;
        case WM_KEYDOWN:
            input = RendererInput::KeyDown;
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            input = RendererInput::ButtonDown;
            break;
        case WM_MOUSEMOVE:
            input = RendererInput::MouseMove;
            break;
        default:
            judge = false;
            break;
    }
    if (judge) {
        const CursorPoint cursor =
            input == RendererInput::MouseMove ? CursorPosition() : CursorPoint{0, 0};
        if (RequestsClose(input, settings, cursor)) {
            RequestClose(settings);
        }
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
    // WM_CREATE records the window and the cursor in the settings record.
    window_ = CreateWindowExA(0, kRendererWindowClass, kRendererWindowTitle, WS_POPUP | WS_VISIBLE,
                              0, 0, width, height, nullptr, nullptr, nullptr, nullptr);
    if (window_ == nullptr) {
        ReportRendererFailure("Win32", "cannot create the window");
        return false;
    }
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

// The window is already gone (destroyed by the close sequence); the class goes with the process.
void RendererWindowWin32::TearDown() {
    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(window_, deviceContext_);
    wglDeleteContext(context_);
}

}  // namespace velmoria
