// The settings dialog as the keyboard and assistive technologies meet it: the controls in Tab
// order, what each is called and what it is, and what the dialog's keys do. Both backends take
// their focus chain, their accessible names and their key handling from here.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "shell/settings_dialog/dialog_layout.h"

namespace velmoria {

// The controls that take the keyboard focus, in Tab order. The three music kinds are one stop,
// as a radio group is: the focus lands on the selected kind.
enum class DialogControl { Kinds, Repeat, FileButton, SetButton, CancelButton, Link };
constexpr std::array<DialogControl, 6> kDialogTabOrder{
    {DialogControl::Kinds, DialogControl::Repeat, DialogControl::FileButton,
     DialogControl::SetButton, DialogControl::CancelButton, DialogControl::Link}};

// Where Tab (`step` +1) or Shift+Tab (-1) takes the focus from `from`: the next control in Tab
// order that `canFocus` allows (disabled ones cannot), round the end; nothing when none can.
std::optional<DialogControl> NextInTabOrder(DialogControl from, int step,
                                            const std::function<bool(DialogControl)>& canFocus);

// What an accessible object of the dialog is.
enum class AccessibleRole { Window, RadioButton, ComboBox, PushButton, ReadOnlyText, Link };

struct AccessibleControl {
    AccessibleRole role;
    const char* name;  // UTF-8
};
constexpr AccessibleControl kAccessibleWindow{AccessibleRole::Window, "<Velmoria>"};
// By music kind, as kKindLabelTexts.
constexpr std::array<AccessibleControl, 3> kAccessibleKinds{
    {{AccessibleRole::RadioButton, kKindLabelTexts[0]},
     {AccessibleRole::RadioButton, kKindLabelTexts[1]},
     {AccessibleRole::RadioButton, kKindLabelTexts[2]}}};
// The track box is named by the label beside it.
constexpr AccessibleControl kAccessibleRepeat{AccessibleRole::ComboBox, kRepeatLabel.text};
// By DialogButton: the captions.
constexpr std::array<AccessibleControl, 3> kAccessibleButtons{
    {{AccessibleRole::PushButton, "..."},
     {AccessibleRole::PushButton, "設定"},
     {AccessibleRole::PushButton, "ｷｬﾝｾﾙ"}}};
// The path box has no label of its own; it is named after the setting it shows, and its value
// is the path.
constexpr AccessibleControl kAccessibleFileLabel{AccessibleRole::ReadOnlyText, "BGMﾌｧｲﾙ"};
// The link is named by its caption, which is also its address.
constexpr AccessibleControl kAccessibleLink{AccessibleRole::Link, kLinkLabel.text};

// The music kinds top to bottom, as the arrow keys walk them.
constexpr std::array<int, 3> kKindsOnScreen{{1, 0, 2}};
// The kind an arrow key selects from `kind`: `step` +1 for Down or Right, -1 for Up or Left;
// the walk wraps around, as in a system radio group. From a kind without a mark (a damaged
// settings file) Down starts at the top and Up at the bottom.
int KindAfterArrow(int kind, int step);

// The keys the dialog itself answers; Tab and the arrows move the focus through the toolkit.
enum class DialogKey { Return, Space, Escape };
enum class DialogKeyAction {
    None,      // the focused control's own business (or nothing)
    Activate,  // the focused button's keyboard activation: Return clicks it at once
               // (CommandButton::KeyActivate); Space presses it on the key's press and clicks
               // on its release (KeyDown, KeyUp)
    Set,       // "設定", the default button
    Cancel,    // "ｷｬﾝｾﾙ"
    OpenLink,  // the link, as a click
};
DialogKeyAction ActionForKey(DialogKey key, DialogControl focus);

// Whether the default button shows that it is the default: only while focus cues are shown
// (after the first keyboard navigation, as Windows does) and no button has the focus, since a
// focused button is what Return then presses.
bool DefaultButtonShown(bool focusCuesShown, DialogControl focus);

}  // namespace velmoria
