// close-running FOLDER SECONDS: the installer's and uninstaller's hand on our running programs.
// Asks every window of ours (see our_windows.h) to close, top-level or inside another program's
// window as a preview is, and waits up to SECONDS for them to go. Another program's windows are
// never touched nor waited on: the question is posted, never sent, and titles are read without a
// message. Exit code 0 when none of ours is left, 1 when some still are (the installer then
// finds the file busy), 2 on a wrong command line.
#include <windows.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "packaging/windows/our_windows.h"

namespace {

// How often a window that is still there is asked again.
constexpr ULONGLONG kAskAgainMs = 1000;

// A path as UTF-8, in its long form and with its letters upper-cased the way Windows folds them,
// so that our_windows.h compares two names of one file as equal.
std::string ComparablePath(std::wstring path) {
    const DWORD length = GetLongPathNameW(path.c_str(), nullptr, 0);
    if (length != 0) {
        std::wstring full(length, L'\0');
        const DWORD written = GetLongPathNameW(path.c_str(), full.data(), length);
        if (written != 0 && written < length) {
            full.resize(written);
            path = full;
        }
    }
    if (path.empty()) {
        return {};
    }
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()),
                                          nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path.data(), static_cast<int>(path.size()), out.data(), bytes,
                        nullptr, nullptr);
    return out;
}

// The program a process runs, or nothing when it cannot be asked.
std::string ProcessImage(DWORD pid) {
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) {
        return {};
    }
    std::wstring image(32768, L'\0');
    DWORD size = static_cast<DWORD>(image.size());
    const BOOL ok = QueryFullProcessImageNameW(process, 0, image.data(), &size);
    CloseHandle(process);
    if (!ok) {
        return {};
    }
    image.resize(size);
    return ComparablePath(image);
}

// One look at every window: the ones of ours.
struct Search {
    std::string folder;
    std::map<DWORD, std::string> images;  // for this look only: process ids are reused
    std::vector<HWND> ours;
};

BOOL CALLBACK Consider(HWND window, LPARAM lParam) {
    Search& search = *reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == 0 || pid == GetCurrentProcessId()) {
        return TRUE;
    }
    auto image = search.images.find(pid);
    if (image == search.images.end()) {
        image = search.images.emplace(pid, ProcessImage(pid)).first;
    }
    if (image->second.empty()) {
        return TRUE;
    }
    // InternalGetWindowText reads the title without a message to a window that may hang.
    wchar_t title[64] = {};
    const int length = InternalGetWindowText(window, title, 64);
    char narrow[256] = {};
    WideCharToMultiByte(CP_UTF8, 0, title, length, narrow, sizeof(narrow) - 1, nullptr, nullptr);
    if (velmoria::IsOurWindow(narrow, image->second, search.folder)) {
        search.ours.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK ConsiderWithChildren(HWND window, LPARAM lParam) {
    Consider(window, lParam);
    // Every level down: a preview sits inside the display settings' window.
    EnumChildWindows(window, Consider, lParam);
    return TRUE;
}

std::vector<HWND> OurWindows(const std::string& folder) {
    Search search;
    search.folder = folder;
    EnumWindows(ConsiderWithChildren, reinterpret_cast<LPARAM>(&search));
    return search.ours;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc != 3) {
        return 2;
    }
    const std::string folder = ComparablePath(argv[1]);
    const ULONGLONG seconds = wcstoul(argv[2], nullptr, 10);
    LocalFree(argv);
    if (folder.empty()) {
        return 2;
    }
    const ULONGLONG deadline = GetTickCount64() + seconds * 1000;
    std::map<HWND, ULONGLONG> asked;
    for (;;) {
        const std::vector<HWND> ours = OurWindows(folder);
        const ULONGLONG now = GetTickCount64();
        if (ours.empty()) {
            return 0;
        }
        if (now >= deadline) {
            return 1;
        }
        for (HWND window : ours) {
            const auto last = asked.find(window);
            if (last == asked.end() || now - last->second >= kAskAgainMs) {
                PostMessageW(window, WM_CLOSE, 0, 0);
                asked[window] = now;
            }
        }
        Sleep(100);
    }
}
