// The settings dialog as Microsoft Active Accessibility sees it: one IAccessible for the form's
// client area whose children are the dialog's controls as simple elements (child IDs 1..n), so
// that the painted marks, labels and the link, the gradient buttons and the track box are all
// named and described the same way. A child window that takes the focus (the panel, a gradient
// button) answers with the element it stands for as an object of its own, read from the same
// elements: a reader that follows the system's focus event for that window asks it, not the form.
#pragma once

#include <windows.h>
// These need windows.h first.
#include <oleacc.h>

#include <string>
#include <vector>

namespace velmoria {

struct AccessibleElement {
    LONG role = 0;  // ROLE_SYSTEM_*
    std::wstring name;
    std::wstring value;          // empty: the element has none
    LONG state = 0;              // STATE_SYSTEM_*
    RECT screen = {};            // where it is on the screen
    std::wstring defaultAction;  // empty: none
};

// What the accessible object reads from the dialog's window, each time it is asked.
class AccessibleElements {
  public:
    virtual ~AccessibleElements() = default;
    // The children in order: child ID i + 1 is element i.
    virtual std::vector<AccessibleElement> Elements() = 0;
    // The child ID with the keyboard focus; 0 when none of them has it.
    virtual LONG FocusedChild() = 0;
    // The element's default action (a click, a selection, the link's opening).
    virtual void DoDefaultAction(LONG child) = 0;
    // The child ID of the element a window stands for, asked each time (the panel's follows the
    // selected kind); 0 for the form, whose object is the whole dialog.
    virtual LONG ChildOfWindow(HWND window) = 0;
};

class DialogAccessible;

// A new object for `window`'s client area over `source` with one reference, which the caller
// owns. `source` must stay until Detach.
DialogAccessible* NewDialogAccessible(AccessibleElements& source, HWND window);
// The window is going: the object, which clients may still hold, answers nothing any more and is
// disconnected from them; the caller's reference is released.
void DetachDialogAccessible(DialogAccessible* accessible);
// The answer to WM_GETOBJECT for OBJID_CLIENT.
LRESULT DialogAccessibleResult(DialogAccessible* accessible, WPARAM wParam);

}  // namespace velmoria
