// The settings dialog's GTK window for the keyboard and screen readers: focusable stand-ins
// over the painted kinds, link and path box, every control's accessible name and role, the
// Tab order and the dialog's keys, all as the dialog's core decides them.
#include <gtk/gtk.h>

#include <algorithm>
#include <optional>

#include "shell/settings_dialog/gtk/settings_dialog_window_gtk.h"

namespace velmoria {

namespace {

AtkRole AtkRoleOf(AccessibleRole role) {
    switch (role) {
        case AccessibleRole::Window:
            return ATK_ROLE_DIALOG;
        case AccessibleRole::RadioButton:
            return ATK_ROLE_RADIO_BUTTON;
        case AccessibleRole::ComboBox:
            return ATK_ROLE_COMBO_BOX;
        case AccessibleRole::PushButton:
            return ATK_ROLE_PUSH_BUTTON;
        case AccessibleRole::ReadOnlyText:
            return ATK_ROLE_LABEL;
        case AccessibleRole::Link:
            return ATK_ROLE_LINK;
    }
    return ATK_ROLE_UNKNOWN;
}

// What assistive technologies read for `widget`.
void Describe(GtkWidget* widget, const AccessibleControl& control) {
    AtkObject* accessible = gtk_widget_get_accessible(widget);
    atk_object_set_role(accessible, AtkRoleOf(control.role));
    atk_object_set_name(accessible, control.name);
}

// A stand-in draws nothing: what it stands for is painted on the surface beneath.
gboolean DrawNothing(GtkWidget*, cairo_t*, gpointer) {
    return TRUE;
}

// A stand-in's mouse window stays hidden, so that presses and the cursor reach the surface
// beneath as before.
void HideInputWindow(GtkWidget* widget, gpointer) {
    GdkWindow* input =
        GTK_IS_BUTTON(widget) ? gtk_button_get_event_window(GTK_BUTTON(widget)) : nullptr;
    if (input != nullptr) {
        gdk_window_hide(input);
    }
}

// A focusable widget over a painted control, at `rect` on the form.
void PutStandIn(GtkWidget* fixed, GtkWidget* widget, const char* cssName, const DialogRect& rect) {
    gtk_widget_set_name(widget, cssName);
    g_signal_connect(widget, "draw", G_CALLBACK(DrawNothing), nullptr);
    g_signal_connect_after(widget, "map", G_CALLBACK(HideInputWindow), nullptr);
    gtk_widget_set_size_request(widget, rect.width, rect.height);
    gtk_fixed_put(GTK_FIXED(fixed), widget, rect.x, rect.y);
}

}  // namespace

void SettingsDialogGtk::AddStandIns(GtkWidget* fixed) {
    const auto onForm = [](DialogRect rect) {
        rect.x += kPanelRect.x;
        rect.y += kPanelRect.y;
        return rect;
    };
    GSList* group = nullptr;
    for (const int kind : kKindsOnScreen) {
        GtkWidget* radio = gtk_radio_button_new(group);
        group = gtk_radio_button_get_group(GTK_RADIO_BUTTON(radio));
        // The mark and its label.
        const DialogRect& mark = kMarkRects[kind];
        const DialogRect& label = kKindLabelRects[kind];
        PutStandIn(fixed, radio, "velmoria-kind",
                   onForm({mark.x, mark.y, label.x + label.width - mark.x, mark.height}));
        Describe(radio, kAccessibleKinds[kind]);
        g_signal_connect(radio, "clicked", G_CALLBACK(OnKindClicked), this);
        kindButtons_[kind] = radio;
    }
    noKind_ = gtk_radio_button_new(group);
    g_object_ref_sink(noKind_);

    link_ = gtk_link_button_new_with_label(kLinkLabel.text, "");
    PutStandIn(fixed, link_, "velmoria-link", kLinkLabel.rect);
    Describe(link_, kAccessibleLink);
    g_signal_connect(link_, "activate-link", G_CALLBACK(OnLinkActivated), this);

    // The path box's text, for reading: the panel paints it.
    pathBox_ = gtk_label_new("");
    gtk_label_set_ellipsize(GTK_LABEL(pathBox_), PANGO_ELLIPSIZE_END);
    gtk_label_set_max_width_chars(GTK_LABEL(pathBox_), 1);
    PutStandIn(fixed, pathBox_, "velmoria-path", onForm(kFileLabelRect));
    Describe(pathBox_, kAccessibleFileLabel);
}

void SettingsDialogGtk::ConnectKeyboardAndNames() {
    Describe(window_, kAccessibleWindow);
    Describe(combo_, kAccessibleRepeat);
    for (const DialogButtonPlace& place : kDialogButtons) {
        const int which = static_cast<int>(place.button);
        Describe(buttons_[which]->Widget(), kAccessibleButtons[which]);
    }
    g_signal_connect(window_, "key-press-event", G_CALLBACK(OnKeyPress), this);
    g_signal_connect(window_, "key-release-event", G_CALLBACK(OnKeyRelease), this);
    g_signal_connect_after(window_, "set-focus", G_CALLBACK(OnFocusChanged), this);
    g_signal_connect(window_, "notify::focus-visible", G_CALLBACK(OnFocusChanged), this);
}

DialogControl SettingsDialogGtk::FocusedControl() {
    GtkWidget* focus = window_ != nullptr ? gtk_window_get_focus(GTK_WINDOW(window_)) : nullptr;
    if (focus == nullptr || KindsFocused()) {
        return DialogControl::Kinds;  // where the focus starts
    }
    for (const DialogControl control : kDialogTabOrder) {
        GtkWidget* widget = WidgetOf(control);
        if (focus == widget || gtk_widget_is_ancestor(focus, widget)) {
            return control;
        }
    }
    return DialogControl::Kinds;
}

bool SettingsDialogGtk::KindsFocused() {
    GtkWidget* focus = window_ != nullptr ? gtk_window_get_focus(GTK_WINDOW(window_)) : nullptr;
    return focus != nullptr &&
           std::find(kindButtons_.begin(), kindButtons_.end(), focus) != kindButtons_.end();
}

// The widget that takes the focus for `control`: on the kinds the selected one, or the top
// one while none is.
GtkWidget* SettingsDialogGtk::WidgetOf(DialogControl control) {
    switch (control) {
        case DialogControl::Kinds:
            for (GtkWidget* radio : kindButtons_) {
                if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(radio))) {
                    return radio;
                }
            }
            return kindButtons_[kKindsOnScreen[0]];
        case DialogControl::Repeat:
            return combo_;
        case DialogControl::FileButton:
            return buttons_[static_cast<int>(DialogButton::File)]->Widget();
        case DialogControl::SetButton:
            return buttons_[static_cast<int>(DialogButton::Set)]->Widget();
        case DialogControl::CancelButton:
            return buttons_[static_cast<int>(DialogButton::Cancel)]->Widget();
        case DialogControl::Link:
            return link_;
    }
    return nullptr;
}

// Tab (+1), Shift+Tab (-1), or 0 for the kinds: the next control in Tab order that can take
// the focus, around the end.
void SettingsDialogGtk::MoveFocus(int step) {
    const auto canFocus = [this](DialogControl control) {
        return gtk_widget_is_sensitive(WidgetOf(control)) != FALSE;
    };
    std::optional<DialogControl> next;
    if (step == 0) {
        next = canFocus(DialogControl::Kinds) ? DialogControl::Kinds
                                              : NextInTabOrder(DialogControl::Kinds, 1, canFocus);
    } else {
        next = NextInTabOrder(FocusedControl(), step, canFocus);
    }
    if (next) {
        gtk_widget_grab_focus(WidgetOf(*next));
    }
}

namespace {

std::optional<DialogKey> DialogKeyOf(guint keyval) {
    switch (keyval) {
        case GDK_KEY_Return:
        case GDK_KEY_KP_Enter:
        case GDK_KEY_ISO_Enter:
            return DialogKey::Return;
        case GDK_KEY_space:
        case GDK_KEY_KP_Space:
            return DialogKey::Space;
        case GDK_KEY_Escape:
            return DialogKey::Escape;
        default:
            return std::nullopt;
    }
}

// +1 for Down or Right, -1 for Up or Left, 0 for any other key.
int ArrowStep(guint keyval) {
    switch (keyval) {
        case GDK_KEY_Down:
        case GDK_KEY_KP_Down:
        case GDK_KEY_Right:
        case GDK_KEY_KP_Right:
            return 1;
        case GDK_KEY_Up:
        case GDK_KEY_KP_Up:
        case GDK_KEY_Left:
        case GDK_KEY_KP_Left:
            return -1;
        default:
            return 0;
    }
}

}  // namespace

// Before the focused widget sees the key: Tab order, the arrows on the kinds and the dialog's
// own keys are the dialog's; everything else, and the keys a control keeps for itself, go on.
gboolean SettingsDialogGtk::OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    const guint held = event->state & gtk_accelerator_get_default_mod_mask();
    if (self->dialog_ == nullptr || (held & ~GDK_SHIFT_MASK) != 0) {
        return FALSE;
    }
    if (event->keyval == GDK_KEY_Tab || event->keyval == GDK_KEY_KP_Tab ||
        event->keyval == GDK_KEY_ISO_Left_Tab) {
        const bool back = event->keyval == GDK_KEY_ISO_Left_Tab || held == GDK_SHIFT_MASK;
        self->MoveFocus(back ? -1 : 1);
        return TRUE;
    }
    if (held != 0) {
        return FALSE;
    }
    const DialogControl focus = self->FocusedControl();
    const int step = ArrowStep(event->keyval);
    if (step != 0 && focus == DialogControl::Kinds) {
        self->dialog_->KindArrow(step);
        return TRUE;
    }
    const std::optional<DialogKey> key = DialogKeyOf(event->keyval);
    return key && self->dialog_->KeyPressed(*key, focus);
}

gboolean SettingsDialogGtk::OnKeyRelease(GtkWidget*, GdkEventKey* event, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    if (self->dialog_ != nullptr && DialogKeyOf(event->keyval) == DialogKey::Space) {
        self->dialog_->KeyReleased(DialogKey::Space, self->FocusedControl());
    }
    return FALSE;
}

// The focus moved, or GTK began to show where it is (the first key pressed).
void SettingsDialogGtk::OnFocusChanged(GtkWidget*, gpointer, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    if (self->dialog_ == nullptr || self->window_ == nullptr) {
        return;
    }
    // GTK drops the focus of a control that is disabled (the track box or "...", when another
    // kind is chosen by mouse): it goes back to the kinds rather than nowhere.
    if (gtk_window_get_focus(GTK_WINDOW(self->window_)) == nullptr &&
        gtk_widget_get_mapped(self->window_)) {
        self->MoveFocus(0);
        return;  // the focus now set has been told
    }
    self->dialog_->FocusMoved(self->FocusedControl(),
                              gtk_window_get_focus_visible(GTK_WINDOW(self->window_)));
    // The rings of the kinds and the link are painted by the surfaces beneath.
    gtk_widget_queue_draw(self->panelArea_);
    gtk_widget_queue_draw(self->formArea_);
    if (GtkWidget* focus = gtk_window_get_focus(GTK_WINDOW(self->window_))) {
        gtk_widget_queue_draw(focus);
    }
}

// A kind chosen through its radio button (an assistive technology's click, or Space): as a
// click on it.
void SettingsDialogGtk::OnKindClicked(GtkWidget* radio, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    if (self->showingKind_ || self->dialog_ == nullptr ||
        !gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(radio))) {
        return;
    }
    for (int kind = 0; kind < 3; ++kind) {
        if (self->kindButtons_[kind] == radio) {
            self->dialog_->KindMouseDown(kind);
        }
    }
}

// The link button's own activation: the dialog opens the address, as on a click.
gboolean SettingsDialogGtk::OnLinkActivated(GtkWidget*, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    if (self->dialog_ != nullptr) {
        self->dialog_->LinkClick();
    }
    return TRUE;
}

// Tab into the track box selects its text; leaving it shows no selection, as a Windows edit
// field hides its own, so that only the focused control looks focused.
gboolean SettingsDialogGtk::OnRepeatFocusOut(GtkWidget* entry, GdkEventFocus*, gpointer) {
    const int position = gtk_editable_get_position(GTK_EDITABLE(entry));
    gtk_editable_select_region(GTK_EDITABLE(entry), position, position);
    return FALSE;
}

}  // namespace velmoria
