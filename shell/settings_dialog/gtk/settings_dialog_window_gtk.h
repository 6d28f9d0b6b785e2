// The settings dialog's GTK window, shared by the file that builds and draws it
// (settings_dialog_gtk.cpp) and the one that gives it to the keyboard and to screen readers
// (settings_dialog_keys_gtk.cpp).
#pragma once

#include <gtk/gtk.h>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "shell/controls/gtk/command_button_gtk.h"
#include "shell/posix/text_codec_iconv.h"
#include "shell/settings_dialog/settings_dialog.h"

namespace velmoria {

class SettingsDialogGtk final : public SettingsDialogView {
  public:
    SettingsDialogGtk();
    ~SettingsDialogGtk() override;

    void Run(SettingsDialog& dialog);

    ScreenArea Screen() override;
    ScreenSize WindowOuterSize() override;
    void MoveWindow(int32_t left, int32_t top) override;
    uintptr_t WindowHandle() override { return reinterpret_cast<uintptr_t>(window_); }
    CommandButton& Button(DialogButton button) override {
        return buttons_[static_cast<int>(button)]->Control();
    }
    void SetPanelBackground(const Picture& picture) override;
    void SetFormBackground(const Picture& picture) override;
    void SetMarkPicture(int mark, bool selected) override;
    void SetRepeatEnabled(bool enabled) override { gtk_widget_set_sensitive(combo_, enabled); }
    void SetRepeatText(const std::string& text) override {
        gtk_entry_set_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(combo_))), text.c_str());
    }
    void AddRepeatEntry(const std::string& text) override {
        gtk_combo_box_text_append_text(GTK_COMBO_BOX_TEXT(combo_), text.c_str());
    }
    std::string RepeatText() override {
        return gtk_entry_get_text(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(combo_))));
    }
    void SetFileLabel(const std::string& text) override;
    std::optional<ScreenPoint> CursorPosition() override;
    void SetScreenCursor(DialogCursor cursor) override;
    std::optional<std::string> PickFile(const FilePickRequest& request) override;
    std::optional<size_t> StoredLength(const std::string& path) override {
        TextCodecIconv codec;
        return StoredValueLength(codec, path);
    }
    void ShowMessage(const std::string& text) override;
    void OpenLink(const std::string& address) override;
    void Close() override;

  private:
    static gboolean OnDrawForm(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean OnDrawPanel(GtkWidget*, cairo_t* cr, gpointer self);
    static gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
    static void OnFormAllocate(GtkWidget*, GdkRectangle* allocation, gpointer self);
    static void OnDestroy(GtkWidget*, gpointer self);
    static gboolean OnKeyPress(GtkWidget*, GdkEventKey* event, gpointer self);
    static gboolean OnKeyRelease(GtkWidget*, GdkEventKey* event, gpointer self);
    static void OnFocusChanged(GtkWidget*, gpointer, gpointer self);
    static void OnKindClicked(GtkWidget* radio, gpointer self);
    static gboolean OnLinkActivated(GtkWidget*, gpointer self);
    static gboolean OnRepeatFocusOut(GtkWidget* entry, GdkEventFocus*, gpointer);
    GtkWidget* NewArea(DialogSurface surface);
    void Replace(cairo_surface_t*& slot, const Picture& picture, GtkWidget* area);
    // Keyboard and screen readers (settings_dialog_keys_gtk.cpp).
    void AddStandIns(GtkWidget* fixed);
    void ConnectKeyboardAndNames();
    DialogControl FocusedControl();
    bool KindsFocused();
    GtkWidget* WidgetOf(DialogControl control);
    void MoveFocus(int step);

    // The music kinds as one radio group, by kind; `noKind_` (never shown) holds the group's
    // selection while no kind is selected.
    std::array<GtkWidget*, 3> kindButtons_{};
    GtkWidget* noKind_ = nullptr;
    bool showingKind_ = false;  // the marks are being set: not a click
    GtkWidget* link_ = nullptr;
    GtkWidget* pathBox_ = nullptr;

    SettingsDialog* dialog_ = nullptr;
    GtkWidget* window_ = nullptr;
    GtkWidget* formArea_ = nullptr;
    GtkWidget* panelArea_ = nullptr;
    GtkWidget* combo_ = nullptr;
    std::array<std::unique_ptr<CommandButtonGtk>, 3> buttons_;
    cairo_surface_t* formPicture_ = nullptr;
    cairo_surface_t* panelPicture_ = nullptr;
    std::array<cairo_surface_t*, 2> markPictures_{};
    std::array<bool, 3> markSelected_{};
    std::array<bool, 3> markShown_{};
    std::string fileLabel_;
    GdkCursor* handCursor_ = nullptr;
    bool pressedOnLink_ = false;
    int formWidth_ = 0;
    int formHeight_ = 0;
    GMainLoop* loop_ = nullptr;
};

}  // namespace velmoria
