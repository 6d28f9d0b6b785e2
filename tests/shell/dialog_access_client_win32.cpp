// An accessibility client for the settings dialog's end-to-end test: finds the open dialog,
// reads its Active Accessibility tree and drives it by keyboard (SendInput), checking roles,
// names, values and states, the focus order, the kinds' arrows and the focus marks' pixels. The
// windows that take the focus (the panel for the kinds, each gradient button) are asked too, as
// a reader asks them after the system's focus event: each must answer as the control itself.
//
//   dialog-access-client keys INI FILE   the tree at rest, Tab and Shift+Tab over every stop, the
//                                        arrows, Space on "...", then Escape: the INI unchanged
//   dialog-access-client store           Down on the kinds, then Return
// Exit code 0 when every check passed; each failure is printed.
#include <windows.h>
// These need windows.h first.
#include <oleacc.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Fail(const std::string& what) {
    std::printf("FAIL: %s\n", what.c_str());
    std::fflush(stdout);
    ++failures;
}

std::string Narrow(const std::wstring& wide) {
    if (wide.empty()) {
        return {};
    }
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &text[0], length,
                        nullptr, nullptr);
    return text;
}

// Polls every 50 ms until `done` holds or the ceiling (generous: a loaded machine) passes.
template <typename Condition>
bool WaitFor(Condition done, DWORD ceilingMs = 15000) {
    const DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ceilingMs) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

HWND Dialog() {
    return FindWindowW(nullptr, L"<Velmoria>");
}

void SendKey(WORD key, bool shift = false) {
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (shift) {
        add(VK_SHIFT, false);
    }
    add(key, false);
    add(key, true);
    if (shift) {
        add(VK_SHIFT, true);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring Text(HRESULT (IAccessible::*get)(VARIANT, BSTR*), IAccessible* object, LONG id) {
    BSTR text = nullptr;
    std::wstring result;
    if ((object->*get)(Child(id), &text) == S_OK && text != nullptr) {
        result.assign(text, SysStringLen(text));
    }
    SysFreeString(text);
    return result;
}

LONG Number(HRESULT (IAccessible::*get)(VARIANT, VARIANT*), IAccessible* object, LONG id) {
    VARIANT value;
    VariantInit(&value);
    if ((object->*get)(Child(id), &value) != S_OK || value.vt != VT_I4) {
        VariantClear(&value);
        return -1;
    }
    return value.lVal;
}

// The children as AccessibleChildren gives them: all simple elements, by child ID.
std::vector<LONG> ChildIds(IAccessible* root) {
    LONG count = 0;
    root->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(count > 0 ? count : 0));
    LONG obtained = 0;
    std::vector<LONG> ids;
    if (count > 0 && SUCCEEDED(AccessibleChildren(root, 0, count, children.data(), &obtained))) {
        for (LONG i = 0; i < obtained; ++i) {
            if (children[i].vt == VT_I4) {
                ids.push_back(children[i].lVal);
            } else {
                Fail("child " + std::to_string(i) + " is an object, not a simple element");
            }
            VariantClear(&children[i]);
        }
    }
    return ids;
}

struct Expected {
    LONG role;
    const wchar_t* name;
    std::wstring value;
    LONG state;  // of the bits in kStateBits
};
constexpr LONG kStateBits = STATE_SYSTEM_CHECKED | STATE_SYSTEM_UNAVAILABLE | STATE_SYSTEM_DEFAULT |
                            STATE_SYSTEM_READONLY | STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE |
                            STATE_SYSTEM_FOCUSED;
constexpr LONG kFocusable = STATE_SYSTEM_FOCUSABLE;

// The tree with kind `kind` (0 なし, 1 音楽CD, 2 MP3、WAV) selected and child `focus` focused.
std::vector<Expected> ExpectedTree(int kind, LONG focus, const std::wstring& track,
                                   const std::wstring& file) {
    const auto checked = [kind](int k) { return kind == k ? STATE_SYSTEM_CHECKED : 0; };
    std::vector<Expected> tree = {
        {ROLE_SYSTEM_RADIOBUTTON, L"音楽CD", L"", kFocusable | checked(1)},
        {ROLE_SYSTEM_RADIOBUTTON, L"なし", L"", kFocusable | checked(0)},
        {ROLE_SYSTEM_RADIOBUTTON, L"MP3、WAV", L"", kFocusable | checked(2)},
        {ROLE_SYSTEM_COMBOBOX, L"曲目をﾘﾋﾟｰﾄ", track,
         kFocusable | (kind == 1 ? 0 : STATE_SYSTEM_UNAVAILABLE)},
        {ROLE_SYSTEM_PUSHBUTTON, L"...", L"",
         kFocusable | (kind == 2 ? 0 : STATE_SYSTEM_UNAVAILABLE)},
        {ROLE_SYSTEM_STATICTEXT, L"BGMﾌｧｲﾙ", file, STATE_SYSTEM_READONLY},
        {ROLE_SYSTEM_PUSHBUTTON, L"設定", L"", kFocusable | STATE_SYSTEM_DEFAULT},
        {ROLE_SYSTEM_PUSHBUTTON, L"ｷｬﾝｾﾙ", L"", kFocusable},
        {ROLE_SYSTEM_LINK, L"https://velmoria.org/", L"https://velmoria.org/",
         kFocusable | STATE_SYSTEM_LINKED},
    };
    if (focus >= 1 && focus <= static_cast<LONG>(tree.size())) {
        tree[focus - 1].state |= STATE_SYSTEM_FOCUSED;
    }
    return tree;
}

IAccessible* ClientObject(HWND dialog) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(dialog, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

// Element `id` of `object` (CHILDID_SELF: the object itself) against its row of the table.
void CheckElement(IAccessible* object, LONG id, const Expected& e, const std::string& what) {
    const LONG role = Number(&IAccessible::get_accRole, object, id);
    if (role != e.role) {
        Fail(what + " role " + std::to_string(role) + ", not " + std::to_string(e.role));
    }
    const std::wstring name = Text(&IAccessible::get_accName, object, id);
    if (name != e.name) {
        Fail(what + " named '" + Narrow(name) + "'");
    }
    const std::wstring value = Text(&IAccessible::get_accValue, object, id);
    if (value != e.value) {
        Fail(what + " value '" + Narrow(value) + "', not '" + Narrow(e.value) + "'");
    }
    const LONG state = Number(&IAccessible::get_accState, object, id) & kStateBits;
    if (state != e.state) {
        char text[80];
        std::snprintf(text, sizeof text, " state 0x%lx, not 0x%lx",
                      static_cast<unsigned long>(state), static_cast<unsigned long>(e.state));
        Fail(what + text);
    }
}

void CheckTree(IAccessible* root, const std::vector<Expected>& tree, const std::string& when) {
    const std::vector<LONG> ids = ChildIds(root);
    if (ids.size() != tree.size()) {
        Fail(when + ": " + std::to_string(ids.size()) + " children, not " +
             std::to_string(tree.size()));
        return;
    }
    for (size_t i = 0; i < ids.size(); ++i) {
        CheckElement(
            root, ids[i], tree[i],
            when + ": child " + std::to_string(ids[i]) + " (" + Narrow(tree[i].name) + ")");
    }
}

// The open dialog as the client follows it: the kind it has selected and what it shows.
struct Session {
    HWND dialog;
    IAccessible* root;
    int kind;
    std::wstring track;
    std::wstring file;
    std::vector<Expected> Tree(LONG focus) const { return ExpectedTree(kind, focus, track, file); }
};

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

// A window's own object for its client area, as a reader gets it from the window.
IAccessible* WindowObject(HWND window) {
    IAccessible* object = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object)))) {
        return nullptr;
    }
    return object;
}

// The window with the keyboard focus answers as the focused child `child` itself (the panel as
// the selected kind, a button as its push button), with no children of its own. The form
// answers as the whole dialog (checked through the root) and the track box is the system's.
void CheckFocusedWindow(const Session& s, LONG child, const std::string& when) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(s.dialog, nullptr), &info) ||
        info.hwndFocus == nullptr) {
        Fail(when + ": no focused window");
        return;
    }
    const std::wstring kind = ClassOf(info.hwndFocus);
    if (info.hwndFocus == s.dialog || kind == L"Edit" || kind == L"ComboBox") {
        return;
    }
    IAccessible* object = WindowObject(info.hwndFocus);
    if (object == nullptr) {
        Fail(when + ": no object from the focused window");
        return;
    }
    const Expected e = s.Tree(child)[static_cast<size_t>(child - 1)];
    CheckElement(object, CHILDID_SELF, e,
                 when + ": the focused window (" + Narrow(kind) + ") as " + Narrow(e.name));
    LONG count = -1;
    object->get_accChildCount(&count);
    if (count != 0) {
        Fail(when + ": the focused window's object has " + std::to_string(count) + " children");
    }
    object->Release();
}

// Every gradient button's window answers as its push button, focused or not: "設定" the
// default, a disabled one unavailable. `focus` is the focused child.
void CheckButtonWindows(const Session& s, LONG focus, const std::string& when) {
    std::vector<HWND> buttons;
    EnumChildWindows(
        s.dialog,
        [](HWND window, LPARAM found) {
            if (ClassOf(window) == L"Skorvane.Command") {
                reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&buttons));
    const std::vector<Expected> tree = s.Tree(focus);
    std::vector<std::wstring> named;
    for (HWND button : buttons) {
        IAccessible* object = WindowObject(button);
        if (object == nullptr) {
            Fail(when + ": no object from a button's window");
            continue;
        }
        const std::wstring name = Text(&IAccessible::get_accName, object, CHILDID_SELF);
        named.push_back(name);
        const auto row = std::find_if(tree.begin(), tree.end(), [&](const Expected& e) {
            return e.role == ROLE_SYSTEM_PUSHBUTTON && name == e.name;
        });
        if (row == tree.end()) {
            Fail(when + ": a button's window answers as '" + Narrow(name) + "'");
        } else {
            CheckElement(object, CHILDID_SELF, *row, when + ": the window of " + Narrow(name));
        }
        object->Release();
    }
    std::sort(named.begin(), named.end());
    if (named.size() != 3 || std::unique(named.begin(), named.end()) != named.end()) {
        Fail(when + ": " + std::to_string(buttons.size()) +
             " button windows, not three of distinct names");
    }
}

// The child with the focus, as the object says, when the focused window agrees: the window with
// the keyboard focus in the dialog's thread lies inside that child's rectangle.
LONG FocusedChild(IAccessible* root, HWND dialog) {
    VARIANT focus;
    VariantInit(&focus);
    if (root->get_accFocus(&focus) != S_OK || focus.vt != VT_I4) {
        VariantClear(&focus);
        return 0;
    }
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info) ||
        info.hwndFocus == nullptr) {
        return 0;
    }
    LONG left = 0, top = 0, width = 0, height = 0;
    root->accLocation(&left, &top, &width, &height, Child(focus.lVal));
    RECT window;
    GetWindowRect(info.hwndFocus, &window);
    // The panel holds the kinds and the form the link: their windows contain the child; the
    // track box's field lies inside it.
    const RECT child = {left, top, left + width, top + height};
    const auto inside = [](const RECT& a, const RECT& b) {
        return a.left >= b.left && a.top >= b.top && a.right <= b.right && a.bottom <= b.bottom;
    };
    const bool agrees = inside(child, window) || inside(window, child);
    return agrees ? focus.lVal : -focus.lVal;
}

bool FocusIs(IAccessible* root, HWND dialog, LONG child) {
    return FocusedChild(root, dialog) == child;
}

// The screen's pixels in `rect`, as 0xRRGGBB.
std::vector<COLORREF> Pixels(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ original = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const COLORREF*>(bits),
                                 static_cast<const COLORREF*>(bits) + width * height);
    SelectObject(memory, original);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    for (COLORREF& pixel : pixels) {
        pixel &= 0xFFFFFF;
    }
    return pixels;
}

// The ring around "音楽CD"'s label, where its focus mark is drawn: the label grown by 2 px.
std::vector<COLORREF> KindsMarkRing(HWND dialog) {
    POINT origin = {12 + 44 - 2, 16 + 56 - 2};
    ClientToScreen(dialog, &origin);
    const RECT rect = {origin.x, origin.y, origin.x + 43 + 4, origin.y + 13 + 4};
    std::vector<COLORREF> all = Pixels(rect);
    std::vector<COLORREF> ring;
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (x < 2 || y < 2 || x >= width - 2 || y >= height - 2) {
                ring.push_back(all[static_cast<size_t>(y * width + x)]);
            }
        }
    }
    return ring;
}

size_t Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
    size_t count = a.size() != b.size() ? 1 : 0;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        count += a[i] != b[i] ? 1 : 0;
    }
    return count;
}

std::string FileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Tab (or Shift+Tab, an arrow) and the child it must reach; the focused window then answers as
// that child.
void Step(const Session& s, WORD key, bool shift, LONG child, const char* name) {
    SendKey(key, shift);
    const std::string what = std::string(shift           ? "Shift+Tab"
                                         : key == VK_TAB ? "Tab"
                                                         : "a key") +
                             " to " + name;
    if (!WaitFor([&] { return FocusIs(s.root, s.dialog, child); })) {
        Fail(what + ": the focus is on child " + std::to_string(FocusedChild(s.root, s.dialog)));
        return;
    }
    CheckFocusedWindow(s, child, what);
}

int Keys(HWND dialog, const std::wstring& ini, const std::wstring& file) {
    IAccessible* root = ClientObject(dialog);
    if (root == nullptr) {
        Fail("AccessibleObjectFromWindow gave no object for the client");
        return 1;
    }
    // The dialog is named by its title: the client object says so, and so does the system's
    // window object where it names windows (Wine's does not: E_NOTIMPL).
    const std::wstring title = Text(&IAccessible::get_accName, root, CHILDID_SELF);
    if (title != L"<Velmoria>") {
        Fail("the dialog is named '" + Narrow(title) + "'");
    }
    IAccessible* window = nullptr;
    if (SUCCEEDED(AccessibleObjectFromWindow(dialog, OBJID_WINDOW, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&window)))) {
        BSTR name = nullptr;
        if (window->get_accName(Child(CHILDID_SELF), &name) == S_OK &&
            std::wstring(name, SysStringLen(name)) != L"<Velmoria>") {
            Fail("the window object is named '" + Narrow(std::wstring(name, SysStringLen(name))) +
                 "'");
        }
        SysFreeString(name);
        window->Release();
    } else {
        Fail("no window object");
    }
    const std::string before = FileBytes(ini);
    Session s{dialog, root, 1, L"7", file};

    // At rest: 音楽CD selected, the focus on the kinds and no mark drawn.
    CheckTree(root, s.Tree(1), "at rest");
    CheckButtonWindows(s, 1, "at rest");
    const std::vector<COLORREF> rest = KindsMarkRing(dialog);

    // Round the order with 音楽CD selected ("..." is disabled and skipped).
    Step(s, VK_TAB, false, 4, "the track box");
    Step(s, VK_TAB, false, 7, "設定");
    Step(s, VK_TAB, false, 8, "ｷｬﾝｾﾙ");
    Step(s, VK_TAB, false, 9, "the link");
    const std::vector<COLORREF> elsewhere = KindsMarkRing(dialog);
    Step(s, VK_TAB, false, 1, "the kinds");
    Sleep(300);  // the panel's repaint
    const std::vector<COLORREF> marked = KindsMarkRing(dialog);
    if (Differences(rest, elsewhere) != 0) {
        Fail(
            "the kinds' label looks different at rest than with the focus elsewhere: a focus "
            "mark before any keyboard use");
    }
    if (Differences(rest, marked) < 20) {
        Fail("no focus mark around 音楽CD after Tab (" + std::to_string(Differences(rest, marked)) +
             " pixels changed)");
    }
    Step(s, VK_TAB, true, 9, "the link");
    Step(s, VK_TAB, false, 1, "the kinds");

    // The arrows select, as a click does, and store nothing yet: Down walks 音楽CD, なし,
    // MP3、WAV; Up goes back.
    s.kind = 0;
    Step(s, VK_DOWN, false, 2, "なし");
    CheckTree(root, s.Tree(2), "after Down");
    s.kind = 1;
    Step(s, VK_UP, false, 1, "音楽CD");
    s.kind = 2;
    Step(s, VK_UP, false, 3, "MP3、WAV (wrapping)");
    CheckTree(root, s.Tree(3), "after Up twice");
    CheckButtonWindows(s, 3, "after Up twice");
    if (FileBytes(ini) != before) {
        Fail("an arrow key wrote the settings file");
    }

    // With MP3、WAV selected "..." takes the focus and the track box is skipped.
    Step(s, VK_TAB, false, 5, "...");
    Step(s, VK_TAB, false, 7, "設定");
    Step(s, VK_TAB, true, 5, "...");
    Step(s, VK_TAB, true, 3, "the kinds");
    Step(s, VK_TAB, false, 5, "...");

    // Space on "..." clicks it: the file-open dialog, closed by its own Escape.
    SendKey(VK_SPACE);
    if (!WaitFor([] { return FindWindowW(nullptr, L"ﾌｧｲﾙを開く") != nullptr; })) {
        Fail("Space on ... opened no file dialog");
    } else {
        HWND picker = FindWindowW(nullptr, L"ﾌｧｲﾙを開く");
        WaitFor([&] { return GetForegroundWindow() == picker; }, 5000);
        Sleep(500);
        SendKey(VK_ESCAPE);
        if (!WaitFor([] { return FindWindowW(nullptr, L"ﾌｧｲﾙを開く") == nullptr; })) {
            Fail("the file dialog did not close on Escape");
            PostMessageW(picker, WM_CLOSE, 0, 0);
        }
    }
    if (!WaitFor([&] { return FocusIs(root, dialog, 5); })) {
        Fail("the focus did not come back to ...");
    }
    root->Release();

    // Escape is ｷｬﾝｾﾙ: the dialog closes and the file stays as it was.
    SendKey(VK_ESCAPE);
    if (!WaitFor([] { return Dialog() == nullptr; })) {
        Fail("Escape did not close the dialog");
    }
    if (FileBytes(ini) != before) {
        Fail("Escape changed the settings file");
    }
    return failures == 0 ? 0 : 1;
}

int Store(HWND dialog) {
    IAccessible* root = ClientObject(dialog);
    if (root == nullptr) {
        Fail("AccessibleObjectFromWindow gave no object for the client");
        return 1;
    }
    Step(Session{dialog, root, 0, L"7", L""}, VK_DOWN, false, 2, "なし");
    root->Release();
    // Return on the kinds is 設定.
    SendKey(VK_RETURN);
    if (!WaitFor([] { return Dialog() == nullptr; })) {
        Fail("Return did not close the dialog");
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr || argc < 2) {
        std::printf("usage: dialog-access-client keys INI FILE | store\n");
        return 2;
    }
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = Dialog()) != nullptr && IsWindowVisible(dialog); })) {
        Fail("no window <Velmoria>");
        return 1;
    }
    SetForegroundWindow(dialog);
    const std::wstring mode = argv[1];
    int result = 2;
    if (mode == L"keys" && argc == 4) {
        result = Keys(dialog, argv[2], argv[3]);
    } else if (mode == L"store") {
        result = Store(dialog);
    } else {
        std::printf("unknown mode\n");
    }
    CoUninitialize();
    return result;
}
