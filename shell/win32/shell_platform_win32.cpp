// The shell's platform on Windows. Sections: windows, forms and the message loop; programs,
// files, folders and the profile functions; the zoom, music and diagnostics.
#include "shell/win32/shell_platform_win32.h"

#include <windows.h>
// After windows.h.
#include <shlobj.h>

#include <cstring>

#include "shell/music/win32/bgm_platform_winmm.h"
#include "shell/settings_dialog/win32/settings_dialog_win32.h"
#include "shell/win32/forms_win32.h"

namespace velmoria {

// ---- Windows, forms and the message loop ----

bool ShellPlatformWin32::TopLevelWindowExists(const char* title) {
    return FindWindowA(nullptr, title) != nullptr;
}

bool ShellPlatformWin32::IsWindow(WindowHandle window) {
    return window != 0 && ::IsWindow(reinterpret_cast<HWND>(window)) != 0;
}

std::optional<PixelRect> ShellPlatformWin32::WindowRectangle(WindowHandle window) {
    RECT rect = {0, 0, 0, 0};
    if (!GetWindowRect(reinterpret_cast<HWND>(window), &rect)) {
        return std::nullopt;
    }
    return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

WindowHandle ShellPlatformWin32::CreateForm(const char* title, uint32_t background,
                                            FormEvents* events) {
    return reinterpret_cast<WindowHandle>(CreateFormWin32(title, background, events));
}

void ShellPlatformWin32::ShowForm(WindowHandle form) {
    ShowWindow(reinterpret_cast<HWND>(form), SW_SHOW);
}

void ShellPlatformWin32::SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) {
    SetFormTimerWin32(reinterpret_cast<HWND>(form), timer, intervalMs);
}

void ShellPlatformWin32::EndProgram() {
    EndProgramWin32();
}

void ShellPlatformWin32::RunWhileWindowsLoaded() {
    RunWhileFormsLoadedWin32();
}

namespace {

double TwipsPerPixel(int axis) {
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, axis) : 96;
    if (screen != nullptr) {
        ReleaseDC(nullptr, screen);
    }
    return 1440.0 / (dpi > 0 ? dpi : 96);
}

}  // namespace

double ShellPlatformWin32::TwipsPerPixelX() {
    return TwipsPerPixel(LOGPIXELSX);
}

double ShellPlatformWin32::TwipsPerPixelY() {
    return TwipsPerPixel(LOGPIXELSY);
}

int32_t ShellPlatformWin32::AddChildStyle(WindowHandle form) {
    const HWND hwnd = reinterpret_cast<HWND>(form);
    const LONG style = GetWindowLongA(hwnd, GWL_STYLE);
    return SetWindowLongA(hwnd, GWL_STYLE, style | WS_CHILD);
}

int32_t ShellPlatformWin32::SetParentWindow(WindowHandle form, WindowHandle parent) {
    return static_cast<int32_t>(reinterpret_cast<intptr_t>(
        SetParent(reinterpret_cast<HWND>(form), reinterpret_cast<HWND>(parent))));
}

void ShellPlatformWin32::MoveForm(WindowHandle form, int32_t x, int32_t y, int32_t width,
                                  int32_t height) {
    MoveWindow(reinterpret_cast<HWND>(form), x, y, width, height, TRUE);
}

void ShellPlatformWin32::SetFormPicture(WindowHandle form, int32_t x, int32_t y,
                                        PixelImage picture) {
    SetFormPictureWin32(reinterpret_cast<HWND>(form), x, y, std::move(picture));
}

int32_t ShellPlatformWin32::ShowCursor(bool show) {
    return ::ShowCursor(show ? TRUE : FALSE);
}

bool ShellPlatformWin32::CloseWindow(WindowHandle window) {
    return PostMessageA(reinterpret_cast<HWND>(window), WM_CLOSE, 0, 0) != 0;
}

bool ShellPlatformWin32::CloseWindowTitled(const char* title) {
    const HWND hwnd = FindWindowA(nullptr, title);
    return hwnd != nullptr && PostMessageA(hwnd, WM_CLOSE, 0, 0) != 0;
}

// ---- Programs, files, folders and the profile functions ----

namespace {

// CreateProcessA's process handle, kept only to see whether the program has ended.
class StartedProgramWin32 final : public StartedProgram {
  public:
    StartedProgramWin32(HANDLE process, DWORD id) : process_(process), id_(id) {}
    ~StartedProgramWin32() override { CloseHandle(process_); }
    int32_t ProcessId() override { return static_cast<int32_t>(id_); }
    bool HasEnded() override { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }

  private:
    HANDLE process_;
    DWORD id_;
};

}  // namespace

std::unique_ptr<StartedProgram> ShellPlatformWin32::StartProgram(const std::string& path) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    // The path as the program to run, too: a folder with blanks cannot start the wrong one.
    std::string commandLine = path;
    if (!CreateProcessA(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return std::make_unique<StartedProgramWin32>(process.hProcess, process.dwProcessId);
}

bool ShellPlatformWin32::ReplaceFileContents(const std::string& path,
                                             const std::vector<uint8_t>& bytes) {
    const size_t slash = path.find_last_of("\\/");
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash);
    char temporary[MAX_PATH + 1] = {};
    if (GetTempFileNameA(folder.c_str(), "vel", 0, temporary) == 0) {
        return false;
    }
    const HANDLE file = CreateFileA(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    bool ok = file != INVALID_HANDLE_VALUE &&
              WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    ok = file != INVALID_HANDLE_VALUE && CloseHandle(file) && ok;
    ok = ok && MoveFileExA(temporary, path.c_str(), MOVEFILE_REPLACE_EXISTING);
    if (!ok) {
        DeleteFileA(temporary);
    }
    return ok;
}

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

namespace {

// The wide text in the narrow code page, only when every character comes back as itself: a
// best-fit stand-in ("e" for "é") could name another user's folder.
std::optional<std::string> NarrowExactly(const std::wstring& wide) {
    if (wide.empty()) {
        return std::string();
    }
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return std::nullopt;
    }
    std::string narrow(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, &narrow[0], length, nullptr, nullptr);
    std::wstring back(wide.size() * 2 + 1, L'\0');
    back.resize(static_cast<size_t>(MultiByteToWideChar(CP_ACP, 0, narrow.data(), length, &back[0],
                                                        static_cast<int>(back.size()))));
    return back == wide ? std::optional<std::string>(narrow) : std::nullopt;
}

}  // namespace

std::string UserSettingsPathWin32(const std::wstring& appData) {
    if (appData.empty()) {
        return {};
    }
    std::optional<std::string> folder = NarrowExactly(appData);
    if (!folder) {
        // A profile the code page cannot spell (a user name in another script) is named by its
        // short form, as the file picker names such files.
        wchar_t shortPath[MAX_PATH] = {};
        const DWORD length = GetShortPathNameW(appData.c_str(), shortPath, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            folder = NarrowExactly(shortPath);
        }
    }
    return folder ? *folder + "\\Velmoria\\Velmoria.ini" : std::string();
}

std::string ShellPlatformWin32::UserSettingsFilePath() {
    PWSTR path = nullptr;
    std::wstring appData;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &path))) {
        appData = path;
    }
    CoTaskMemFree(path);
    const std::string file = UserSettingsPathWin32(appData);
    if (file.empty()) {
        WriteDiagnostic("the application-data folder has no narrow name: settings not kept");
    }
    return file;
}

std::string ShellPlatformWin32::ProgramSettingsFilePath() {
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

// A mutex of the log-on session, never closed: it goes with the process.
bool ShellPlatformWin32::TakeMusicLock() {
    HANDLE mutex = CreateMutexA(nullptr, FALSE, "Local\\Velmoria.Music");
    return mutex == nullptr || GetLastError() != ERROR_ALREADY_EXISTS;
}

void ShellPlatformWin32::WriteDiagnostic(const char* line) {
    OutputDebugStringA((std::string("Velmoria.scr: ") + line + "\n").c_str());
}

void ShellPlatformWin32::RunSettingsDialog(const std::string& settingsFile) {
    RunSettingsDialogWin32(settingsFile);
}

}  // namespace velmoria
