#include "shell/settings_dialog/dialog_controls.h"

namespace velmoria {

namespace {

bool IsButton(DialogControl control) {
    return control == DialogControl::FileButton || control == DialogControl::SetButton ||
           control == DialogControl::CancelButton;
}

}  // namespace

std::optional<DialogControl> NextInTabOrder(DialogControl from, int step,
                                            const std::function<bool(DialogControl)>& canFocus) {
    const int count = static_cast<int>(kDialogTabOrder.size());
    int place = 0;
    for (int i = 0; i < count; ++i) {
        if (kDialogTabOrder[i] == from) {
            place = i;
        }
    }
    for (int tried = 0; tried < count; ++tried) {
        place = (place + (step > 0 ? 1 : -1) + count) % count;
        if (canFocus(kDialogTabOrder[place])) {
            return kDialogTabOrder[place];
        }
    }
    return std::nullopt;
}

int KindAfterArrow(int kind, int step) {
    const int count = static_cast<int>(kKindsOnScreen.size());
    int place = -1;
    for (int i = 0; i < count; ++i) {
        if (kKindsOnScreen[i] == kind) {
            place = i;
        }
    }
    if (place < 0) {
        return kKindsOnScreen[step > 0 ? 0 : count - 1];
    }
    return kKindsOnScreen[((place + (step > 0 ? 1 : -1)) % count + count) % count];
}

DialogKeyAction ActionForKey(DialogKey key, DialogControl focus) {
    switch (key) {
        case DialogKey::Escape:
            return DialogKeyAction::Cancel;
        case DialogKey::Return:
            if (IsButton(focus)) {
                return DialogKeyAction::Activate;
            }
            return focus == DialogControl::Link ? DialogKeyAction::OpenLink : DialogKeyAction::Set;
        case DialogKey::Space:
            if (IsButton(focus)) {
                return DialogKeyAction::Activate;
            }
            return focus == DialogControl::Link ? DialogKeyAction::OpenLink : DialogKeyAction::None;
    }
    return DialogKeyAction::None;
}

bool DefaultButtonShown(bool focusCuesShown, DialogControl focus) {
    return focusCuesShown && !IsButton(focus);
}

}  // namespace velmoria
