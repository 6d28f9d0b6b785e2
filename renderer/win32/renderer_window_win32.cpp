// The renderer program on Windows: WinMain, the full-screen window "Skorvane_VC" of class
// "OpenGL", WGL, the message loop that empties the queue before each frame, and the window
// procedure with its exit rules.
#include <windows.h>

#include "../frame.h"
#include "../input_rules.h"
#include "../renderer_entry.h"
#include "../scene.h"

namespace velmoria {

namespace {

HWND rendererWindow = nullptr;

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

void HideCursor() {
    SetCursor(nullptr);
}

void RunRendererWindow(SaverSettings& /*settings*/, int showCommand) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_VREDRAW | CS_HREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = RendererWndProc;
    windowClass.lpszClassName = "OpenGL";
    if (RegisterClassA(&windowClass) == 0) {
        return;
    }
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    rendererWindow = CreateWindowExA(0, "OpenGL", "Skorvane_VC", WS_POPUP | WS_VISIBLE, 0, 0, width,
                                     height, nullptr, nullptr, nullptr, nullptr);
    if (rendererWindow == nullptr) {
        return;
    }
    HDC deviceContext = GetDC(rendererWindow);

    PIXELFORMATDESCRIPTOR format = {};
    format.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    const int formatIndex = ChoosePixelFormat(deviceContext, &format);
    if (formatIndex == 0) {
        return;
    }
    if (!SetPixelFormat(deviceContext, formatIndex, &format)) {
        return;
    }
    DescribePixelFormat(deviceContext, formatIndex, sizeof(PIXELFORMATDESCRIPTOR), &format);

    HGLRC context = wglCreateContext(deviceContext);
    wglMakeCurrent(deviceContext, context);
    InitScene(width, height);
    ShowWindow(rendererWindow, showCommand);

    MSG message;
    for (;;) {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                break;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        DrawFrame();
        SwapBuffers(deviceContext);
    }

    wglMakeCurrent(nullptr, nullptr);
    ReleaseDC(rendererWindow, deviceContext);
    wglDeleteContext(context);
}

}  // namespace velmoria

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int showCommand) {
    return velmoria::RunRenderer(showCommand);
}
