// The shell's platform on Windows. Sections: windows and the message loop; files, folders and
// the profile functions; the zoom, music and diagnostics.
#include "shell/win32/shell_platform_win32.h"

#include <windows.h>

#include <cstring>

#include "shell/music/win32/bgm_platform_winmm.h"

namespace velmoria {

// ---- Windows and the message loop ----

namespace {

const char* const kClassName = "Velmoria_ShellForm";
int liveWindows = 0;

LRESULT CALLBACK FormProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            if (--liveWindows == 0) {
                PostQuitMessage(0);
            }
            return 0;
        default:
            return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

bool RegisterFormClass() {
    static const bool registered = [] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = FormProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClassName;
        return RegisterClassA(&wc) != 0;
    }();
    return registered;
}

}  // namespace

bool ShellPlatformWin32::TopLevelWindowExists(const char* title) {
    return FindWindowA(nullptr, title) != nullptr;
}

bool ShellPlatformWin32::CreateHiddenWindow(const char* title) {
    if (!RegisterFormClass()) {
        return false;
    }
    const HWND hwnd = CreateWindowExA(0, kClassName, title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    ++liveWindows;
    return true;
}

void ShellPlatformWin32::RunWhileWindowsLoaded() {
    MSG msg;
    while (liveWindows > 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

int32_t ShellPlatformWin32::ShowCursor(bool show) {
    return ::ShowCursor(show ? TRUE : FALSE);
}

bool ShellPlatformWin32::CloseWindowTitled(const char* title) {
    const HWND hwnd = FindWindowA(nullptr, title);
    return hwnd != nullptr && PostMessageA(hwnd, WM_CLOSE, 0, 0) != 0;
}

// ---- Files, folders and the profile functions ----

namespace {

// The narrow functions' code page (932 on the Japanese systems the saver is made for) decides
// which bytes start a two-byte character.
bool IsAnsiLeadByte(unsigned char byte) {
    return IsDBCSLeadByte(byte) != 0;
}

}  // namespace

PathSyntax ShellPlatformWin32::Paths() {
    return {PathStyle::Windows, IsAnsiLeadByte};
}

bool ShellPlatformWin32::CanOpenForReading(const std::string& path) {
    // Without FILE_FLAG_BACKUP_SEMANTICS a folder does not open, as the helper requires.
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    CloseHandle(file);
    return true;
}

bool ShellPlatformWin32::CreateFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

std::string ShellPlatformWin32::ProgramFolder() {
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return FolderOf(std::string(path, length), Paths());
}

std::string ShellPlatformWin32::SettingsFilePath() {
    return ProgramFolder() + "\\Velmoria.ini";
}

std::string ShellPlatformWin32::ReadPrivateProfile(const std::string& section,
                                                   const std::string& key,
                                                   const std::string& file) {
    char buffer[256];
    std::memset(buffer, 0, sizeof(buffer));
    GetPrivateProfileStringA(section.c_str(), key.c_str(), "", buffer, sizeof(buffer),
                             file.c_str());
    // The text up to the first NUL: a value cut inside a double-byte character ends earlier.
    return std::string(buffer, strnlen(buffer, sizeof(buffer)));
}

bool ShellPlatformWin32::WritePrivateProfile(const std::string& section, const std::string& key,
                                             const std::string& value, const std::string& file) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
           0;
}

// ---- The zoom, music and diagnostics ----

void ShellPlatformWin32::AnimateZoom(uintptr_t window, int16_t x, int16_t y, bool opening) {
    const HWND hwnd = reinterpret_cast<HWND>(window);
    const RECT point = {x, y, x, y};
    RECT frame = {0, 0, 0, 0};
    GetWindowRect(hwnd, &frame);
    DrawAnimatedRects(hwnd, IDANI_CAPTION, opening ? &point : &frame, opening ? &frame : &point);
}

BgmPlatform& ShellPlatformWin32::Music() {
    static BgmPlatformWinmm music;
    return music;
}

void ShellPlatformWin32::WriteDiagnostic(const char* line) {
    OutputDebugStringA((std::string("Velmoria.scr: ") + line + "\n").c_str());
}

}  // namespace velmoria
