// The Windows dialog's window at display scales: a WM_DPICHANGED (the window moved to a monitor
// of another scale) lays every child out again at the new DPI in the suggested rectangle.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "shell/settings_dialog/dialog_layout.h"
#include "shell/settings_dialog/win32/settings_dialog_win32.h"
#include "tests/shell/test_files.h"

namespace velmoria {
namespace {

constexpr UINT kDpiChanged = 0x02E0;

// A child's rectangle in its parent's client coordinates.
DialogRect ChildRect(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

std::vector<HWND> Children(HWND parent, const char* className) {
    std::vector<HWND> found;
    for (HWND child = FindWindowExA(parent, nullptr, className, nullptr); child != nullptr;
         child = FindWindowExA(parent, child, className, nullptr)) {
        found.push_back(child);
    }
    return found;
}

void ExpectRect(const DialogRect& actual, const DialogRect& expected, const std::string& what) {
    EXPECT_EQ(actual.x, expected.x) << what;
    EXPECT_EQ(actual.y, expected.y) << what;
    EXPECT_EQ(actual.width, expected.width) << what;
    EXPECT_EQ(actual.height, expected.height) << what;
}

TEST(SettingsDialogWin32, AMoveToAnotherScaleLaysTheWindowOutAgain) {
    ScratchFolder scratch;
    const bool made = WithSettingsDialogWindowWin32(scratch.Path("Velmoria.ini"), [](HWND form) {
        for (const int dpi : {144, 120, 192, 96}) {
            SCOPED_TRACE(dpi);
            const DialogScale scale(dpi);
            // The rectangle Windows suggests: the window's frame around the scaled client.
            RECT suggested = {40, 30, 40 + scale.ClientWidth(), 30 + scale.ClientHeight()};
            AdjustWindowRectEx(&suggested, static_cast<DWORD>(GetWindowLongPtrA(form, GWL_STYLE)),
                               FALSE, 0);
            SendMessageA(form, kDpiChanged, MAKEWPARAM(dpi, dpi),
                         reinterpret_cast<LPARAM>(&suggested));
            RECT outer;
            GetWindowRect(form, &outer);
            EXPECT_EQ(outer.left, suggested.left);
            EXPECT_EQ(outer.top, suggested.top);
            EXPECT_EQ(outer.right - outer.left, suggested.right - suggested.left);

            const std::vector<HWND> panels = Children(form, "Skorvane_P.Panel");
            ASSERT_EQ(panels.size(), 1u);
            ExpectRect(ChildRect(panels[0]), scale.Place(kPanelRect), "panel");
            const std::vector<HWND> formButtons = Children(form, "Skorvane.Command");
            ASSERT_EQ(formButtons.size(), 2u);
            ExpectRect(ChildRect(formButtons[0]), scale.Place(kDialogButtons[1].rect), "設定");
            ExpectRect(ChildRect(formButtons[1]), scale.Place(kDialogButtons[2].rect), "ｷｬﾝｾﾙ");
            const std::vector<HWND> panelButtons = Children(panels[0], "Skorvane.Command");
            ASSERT_EQ(panelButtons.size(), 1u);
            ExpectRect(ChildRect(panelButtons[0]), scale.Place(kDialogButtons[0].rect), "...");
            // The closed track box keeps the layout's height at every scale.
            const std::vector<HWND> combos = Children(panels[0], "ComboBox");
            ASSERT_EQ(combos.size(), 1u);
            const DialogRect combo = ChildRect(combos[0]);
            const DialogRect wanted = scale.Place(kRepeatComboRect);
            EXPECT_EQ(combo.x, wanted.x);
            EXPECT_EQ(combo.y, wanted.y);
            EXPECT_EQ(combo.width, wanted.width);
            EXPECT_NEAR(combo.height, wanted.height, 1);
        }
    });
    EXPECT_TRUE(made);
}

}  // namespace
}  // namespace velmoria
