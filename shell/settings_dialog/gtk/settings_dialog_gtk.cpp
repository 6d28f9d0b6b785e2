// The settings dialog's GTK window: widgets at the layout's rectangles, events passed to the
// dialog's handlers, and the calls of SettingsDialogView done with GTK, GDK and GIO.
#include "shell/settings_dialog/gtk/settings_dialog_gtk.h"

#include <gtk/gtk.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "assets/dialog_pictures.h"
#include "shell/settings_dialog/gtk/settings_dialog_window_gtk.h"

namespace velmoria {

namespace {

// The track box at the layout's 41 x 20: the theme's padding and minimum sizes would make it
// several times larger.
const char* const kRepeatComboCss =
    "#velmoria-repeat, #velmoria-repeat * { min-height: 0; margin: 0; }"
    "#velmoria-repeat entry { background: #ffffff; color: #000000; padding: 0 2px;"
    "  min-width: 20px; border-radius: 0; font-family: Tahoma; font-size: 11px; }"
    "#velmoria-repeat button { padding: 0; min-width: 15px; border-radius: 0; }"
    // The stand-ins over the painted kinds and link draw nothing themselves; the theme's focus
    // ring, which the surfaces beneath draw for them, lies on the edge of the rectangle given.
    "#velmoria-kind, #velmoria-kind *, #velmoria-link, #velmoria-link * { min-height: 0;"
    "  min-width: 0; margin: 0; padding: 0; border-width: 0; outline-offset: -1px; }"
    "#velmoria-link { color: #ffffff; }";

void SetSourceRgb(cairo_t* cr, uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0);
}

// A Cairo surface with the picture's pixels; alpha in the top byte when `withAlpha`.
cairo_surface_t* SurfaceOf(const Picture& picture, bool withAlpha) {
    cairo_surface_t* surface = cairo_image_surface_create(
        withAlpha ? CAIRO_FORMAT_ARGB32 : CAIRO_FORMAT_RGB24, picture.width, picture.height);
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < picture.height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
        for (int x = 0; x < picture.width; ++x) {
            uint32_t pixel = picture.At(x, y);
            if (withAlpha && (pixel >> 24) == 0) {
                pixel = 0;  // premultiplied: a clear pixel has no colour
            }
            row[x] = withAlpha ? pixel : (pixel & 0xFFFFFF);
        }
    }
    cairo_surface_mark_dirty(surface);
    return surface;
}

GdkPixbuf* PixbufOf(const Picture& picture) {
    GdkPixbuf* pixbuf = gdk_pixbuf_new(GDK_COLORSPACE_RGB, TRUE, 8, picture.width, picture.height);
    guchar* data = gdk_pixbuf_get_pixels(pixbuf);
    const int stride = gdk_pixbuf_get_rowstride(pixbuf);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const uint32_t pixel = picture.At(x, y);
            guchar* p = data + y * stride + x * 4;
            p[0] = static_cast<guchar>(pixel >> 16);
            p[1] = static_cast<guchar>(pixel >> 8);
            p[2] = static_cast<guchar>(pixel);
            p[3] = static_cast<guchar>(pixel >> 24);
        }
    }
    return pixbuf;
}

// "*.MP3" matches "song.mp3" and "song.Mp3" too, as the Windows file dialog does.
std::string AnyCasePattern(const std::string& pattern) {
    std::string result;
    for (const char c : pattern) {
        if (g_ascii_isalpha(c)) {
            result += '[';
            result += g_ascii_tolower(c);
            result += g_ascii_toupper(c);
            result += ']';
        } else {
            result += c;
        }
    }
    return result;
}

// A label of the layout: transparent, in the label font. A label sized to its text shows one
// line as it is; the path box wraps its text and clips it to the box.
void DrawLabel(cairo_t* cr, const DialogRect& rect, const std::string& text, uint32_t colour,
               bool centred, bool underlined, bool wrapped = false) {
    ButtonFont font = DialogFont();
    font.underline = underlined;
    PangoLayout* layout = CreateFontLayout(cr, font);
    gchar* valid = g_utf8_make_valid(text.c_str(), -1);
    pango_layout_set_text(layout, valid, -1);
    g_free(valid);
    int left = rect.x;
    cairo_save(cr);
    if (wrapped) {
        pango_layout_set_width(layout, rect.width * PANGO_SCALE);
        pango_layout_set_wrap(layout, PANGO_WRAP_WORD_CHAR);
        cairo_rectangle(cr, rect.x, rect.y, rect.width, rect.height);
        cairo_clip(cr);
    } else if (centred) {
        int width = 0;
        pango_layout_get_pixel_size(layout, &width, nullptr);
        left = rect.x + (rect.width - width) / 2;
    }
    SetSourceRgb(cr, colour);
    cairo_move_to(cr, left, rect.y);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

void DrawLabel(cairo_t* cr, const DialogLabel& label) {
    DrawLabel(cr, label.rect, label.text, label.colour, label.centred, label.underlined);
}

// Which surface a drawing area shows, and whether a point of it is on the link.
DialogSurface AreaSurface(GtkWidget* area) {
    return g_object_get_data(G_OBJECT(area), "velmoria-surface") != nullptr ? DialogSurface::Panel
                                                                            : DialogSurface::Form;
}
bool OnLink(GtkWidget* area, double x, double y) {
    return HitTest(AreaSurface(area), static_cast<int>(x), static_cast<int>(y)).kind ==
           DialogHit::Link;
}

DialogRect Grown(const DialogRect& rect, int by) {
    return {rect.x - by, rect.y - by, rect.width + 2 * by, rect.height + 2 * by};
}

// The theme's focus ring around `rect`, in the style of the widget that has the focus.
void DrawFocusRing(cairo_t* cr, GtkWidget* focused, const DialogRect& rect) {
    gtk_render_focus(gtk_widget_get_style_context(focused), cr, rect.x, rect.y, rect.width,
                     rect.height);
}

}  // namespace

SettingsDialogGtk::SettingsDialogGtk() {
    window_ = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(window_), "<Velmoria>");
    gtk_window_set_resizable(GTK_WINDOW(window_), FALSE);
    gtk_window_set_type_hint(GTK_WINDOW(window_), GDK_WINDOW_TYPE_HINT_DIALOG);
    GList* icons = nullptr;
    for (const int size : {16, 32, 48}) {
        icons = g_list_append(icons, PixbufOf(MakeDialogIcon(size)));
    }
    gtk_window_set_icon_list(GTK_WINDOW(window_), icons);
    g_list_free_full(icons, g_object_unref);

    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, kDialogClientWidth, kDialogClientHeight);
    gtk_container_add(GTK_CONTAINER(window_), fixed);

    formArea_ = NewArea(DialogSurface::Form);
    gtk_widget_set_size_request(formArea_, kDialogClientWidth, kDialogClientHeight);
    gtk_fixed_put(GTK_FIXED(fixed), formArea_, 0, 0);
    g_signal_connect(formArea_, "size-allocate", G_CALLBACK(OnFormAllocate), this);

    panelArea_ = NewArea(DialogSurface::Panel);
    gtk_widget_set_size_request(panelArea_, kPanelRect.width, kPanelRect.height);
    gtk_fixed_put(GTK_FIXED(fixed), panelArea_, kPanelRect.x, kPanelRect.y);

    combo_ = gtk_combo_box_text_new_with_entry();
    gtk_widget_set_name(combo_, "velmoria-repeat");
    GtkCssProvider* css = gtk_css_provider_new();
    gtk_css_provider_load_from_data(css, kRepeatComboCss, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(window_),
                                              GTK_STYLE_PROVIDER(css),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    g_object_unref(css);
    gtk_entry_set_width_chars(GTK_ENTRY(gtk_bin_get_child(GTK_BIN(combo_))), 1);
    gtk_widget_set_size_request(combo_, kRepeatComboRect.width, kRepeatComboRect.height);
    gtk_fixed_put(GTK_FIXED(fixed), combo_, kPanelRect.x + kRepeatComboRect.x,
                  kPanelRect.y + kRepeatComboRect.y);
    g_signal_connect(gtk_bin_get_child(GTK_BIN(combo_)), "focus-out-event",
                     G_CALLBACK(OnRepeatFocusOut), nullptr);

    for (const DialogButtonPlace& place : kDialogButtons) {
        const DialogButton which = place.button;
        const auto click = [this, which] {
            if (dialog_ != nullptr) {
                dialog_->ButtonClick(which);
            }
        };
        auto button = std::make_unique<CommandButtonGtk>(ButtonPropertySet::Parse(place.properties),
                                                         DialogFont(), click);
        const int left = place.rect.x + (place.surface == DialogSurface::Panel ? kPanelRect.x : 0);
        const int top = place.rect.y + (place.surface == DialogSurface::Panel ? kPanelRect.y : 0);
        gtk_widget_set_size_request(button->Widget(), place.rect.width, place.rect.height);
        gtk_fixed_put(GTK_FIXED(fixed), button->Widget(), left, top);
        buttons_[static_cast<int>(which)] = std::move(button);
    }

    AddStandIns(fixed);
    ConnectKeyboardAndNames();

    markPictures_[0] = SurfaceOf(MakeSelectionMark(false), false);
    markPictures_[1] = SurfaceOf(MakeSelectionMark(true), false);
    cairo_surface_t* hand = SurfaceOf(MakeHandCursor(), true);
    handCursor_ = gdk_cursor_new_from_surface(gtk_widget_get_display(window_), hand,
                                              kHandCursorHotX, kHandCursorHotY);
    cairo_surface_destroy(hand);
    g_signal_connect(window_, "destroy", G_CALLBACK(OnDestroy), this);
}

SettingsDialogGtk::~SettingsDialogGtk() {
    gtk_widget_destroy(noKind_);
    g_object_unref(noKind_);
    for (cairo_surface_t* surface :
         {formPicture_, panelPicture_, markPictures_[0], markPictures_[1]}) {
        if (surface != nullptr) {
            cairo_surface_destroy(surface);
        }
    }
    if (handCursor_ != nullptr) {
        g_object_unref(handCursor_);
    }
}

GtkWidget* SettingsDialogGtk::NewArea(DialogSurface surface) {
    GtkWidget* area = gtk_drawing_area_new();
    gtk_widget_add_events(
        area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK);
    g_object_set_data(G_OBJECT(area), "velmoria-surface",
                      GINT_TO_POINTER(surface == DialogSurface::Panel ? 1 : 0));
    g_signal_connect(area, "draw",
                     G_CALLBACK(surface == DialogSurface::Panel ? OnDrawPanel : OnDrawForm), this);
    g_signal_connect(area, "button-press-event", G_CALLBACK(OnPress), this);
    g_signal_connect(area, "button-release-event", G_CALLBACK(OnRelease), this);
    g_signal_connect(area, "motion-notify-event", G_CALLBACK(OnMotion), this);
    return area;
}

void SettingsDialogGtk::Run(SettingsDialog& dialog) {
    dialog_ = &dialog;
    dialog.FormLoad();
    gtk_widget_show_all(window_);
    // The focus starts on the music kinds, unseen until the keyboard is used. Showing gave it
    // to the track box for a moment, which selected the box's text.
    MoveFocus(0);
    gtk_editable_select_region(GTK_EDITABLE(gtk_bin_get_child(GTK_BIN(combo_))), 0, 0);
    gtk_window_set_focus_visible(GTK_WINDOW(window_), FALSE);
    loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
    g_main_loop_unref(loop_);
    loop_ = nullptr;
    dialog_ = nullptr;
}

ScreenArea SettingsDialogGtk::Screen() {
    GdkDisplay* display = gtk_widget_get_display(window_);
    GdkMonitor* monitor = gdk_display_get_primary_monitor(display);
    if (monitor == nullptr) {
        monitor = gdk_display_get_monitor(display, 0);
    }
    if (monitor == nullptr) {
        throw std::runtime_error("no monitor");
    }
    GdkRectangle area;
    gdk_monitor_get_geometry(monitor, &area);
    return {area.x, area.y, area.width, area.height};
}

ScreenSize SettingsDialogGtk::WindowOuterSize() {
    // Before the window is shown its frame (the window manager's) is not known: the client.
    int width = 0;
    int height = 0;
    gtk_window_get_size(GTK_WINDOW(window_), &width, &height);
    if (width < kDialogClientWidth || height < kDialogClientHeight) {
        width = kDialogClientWidth;
        height = kDialogClientHeight;
    }
    return {width, height};
}

void SettingsDialogGtk::MoveWindow(int32_t left, int32_t top) {
    gtk_window_move(GTK_WINDOW(window_), left, top);
}

void SettingsDialogGtk::Replace(cairo_surface_t*& slot, const Picture& picture, GtkWidget* area) {
    if (slot != nullptr) {
        cairo_surface_destroy(slot);
    }
    slot = SurfaceOf(picture, false);
    gtk_widget_queue_draw(area);
}

void SettingsDialogGtk::SetPanelBackground(const Picture& picture) {
    Replace(panelPicture_, picture, panelArea_);
}

void SettingsDialogGtk::SetFormBackground(const Picture& picture) {
    Replace(formPicture_, picture, formArea_);
}

void SettingsDialogGtk::SetMarkPicture(int mark, bool selected) {
    markShown_.at(mark) = true;
    markSelected_.at(mark) = selected;
    gtk_widget_queue_draw(panelArea_);
    // The radio group follows the marks, and the focus on the kinds follows the selection.
    GtkWidget* radio = kindButtons_[mark];
    const bool kindsFocused = KindsFocused();
    showingKind_ = true;
    if (selected) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(radio), TRUE);
        if (kindsFocused) {
            gtk_widget_grab_focus(radio);
        }
    } else if (gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(radio))) {
        gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(noKind_), TRUE);
    }
    showingKind_ = false;
}

void SettingsDialogGtk::SetFileLabel(const std::string& text) {
    fileLabel_ = text;
    gchar* valid = g_utf8_make_valid(text.c_str(), -1);
    gtk_label_set_text(GTK_LABEL(pathBox_), valid);
    g_free(valid);
    gtk_widget_queue_draw(panelArea_);
}

std::optional<ScreenPoint> SettingsDialogGtk::CursorPosition() {
    GdkSeat* seat = gdk_display_get_default_seat(gtk_widget_get_display(window_));
    GdkDevice* pointer = seat != nullptr ? gdk_seat_get_pointer(seat) : nullptr;
    if (pointer == nullptr) {
        return std::nullopt;
    }
    int x = 0;
    int y = 0;
    gdk_device_get_position(pointer, nullptr, &x, &y);
    return ScreenPoint{x, y};
}

void SettingsDialogGtk::SetScreenCursor(DialogCursor cursor) {
    GdkWindow* window = gtk_widget_get_window(window_);
    if (window == nullptr) {
        return;
    }
    GdkCursor* shape = cursor == DialogCursor::Hourglass
                           ? gdk_cursor_new_from_name(gdk_window_get_display(window), "wait")
                           : nullptr;
    gdk_window_set_cursor(window, shape);
    if (shape != nullptr) {
        g_object_unref(shape);
    }
    // The hourglass shows while the next call blocks.
    gdk_display_flush(gdk_window_get_display(window));
}

std::optional<std::string> SettingsDialogGtk::PickFile(const FilePickRequest& request) {
    GtkFileChooserNative* chooser = gtk_file_chooser_native_new(
        request.title.c_str(), GTK_WINDOW(window_), GTK_FILE_CHOOSER_ACTION_OPEN, nullptr, nullptr);
    GtkFileChooser* files = GTK_FILE_CHOOSER(chooser);
    if (!request.initialFolder.empty()) {
        gtk_file_chooser_set_current_folder(files, request.initialFolder.c_str());
    }
    GtkFileFilter* filter = gtk_file_filter_new();
    gtk_file_filter_set_name(filter, request.filterDescription.c_str());
    gchar** patterns = g_strsplit(request.filterPatterns.c_str(), ";", -1);
    for (gchar** pattern = patterns; *pattern != nullptr; ++pattern) {
        gtk_file_filter_add_pattern(filter, AnyCasePattern(*pattern).c_str());
    }
    g_strfreev(patterns);
    gtk_file_chooser_add_filter(files, filter);  // the chooser owns it now
    std::optional<std::string> picked;
    if (gtk_native_dialog_run(GTK_NATIVE_DIALOG(chooser)) == GTK_RESPONSE_ACCEPT) {
        // The name as the file system has it, whatever its length or encoding: the dialog
        // decides whether the settings file can keep it.
        gchar* path = gtk_file_chooser_get_filename(files);
        if (path != nullptr) {
            picked = path;
        }
        g_free(path);
    }
    g_object_unref(chooser);
    return picked;
}

void SettingsDialogGtk::ShowMessage(const std::string& text) {
    GtkWidget* box =
        gtk_message_dialog_new(GTK_WINDOW(window_), GTK_DIALOG_MODAL, GTK_MESSAGE_WARNING,
                               GTK_BUTTONS_OK, "%s", text.c_str());
    gtk_window_set_title(GTK_WINDOW(box), "<Velmoria>");
    gtk_dialog_run(GTK_DIALOG(box));
    gtk_widget_destroy(box);
}

void SettingsDialogGtk::OpenLink(const std::string& address) {
    GError* error = nullptr;
    if (!g_app_info_launch_default_for_uri(address.c_str(), nullptr, &error)) {
        g_error_free(error);
    }
}

void SettingsDialogGtk::Close() {
    if (window_ != nullptr) {
        gtk_widget_destroy(window_);
    }
}

gboolean SettingsDialogGtk::OnDrawForm(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    SetSourceRgb(cr, kDialogBaseColour);
    cairo_paint(cr);
    if (self->formPicture_ != nullptr) {
        cairo_set_source_surface(cr, self->formPicture_, 0, 0);
        cairo_paint(cr);
    }
    DrawLabel(cr, kCreditLabel);
    DrawLabel(cr, kLinkLabel);
    if (gtk_widget_has_visible_focus(self->link_)) {
        DrawFocusRing(cr, self->link_, Grown(kLinkLabel.rect, 1));
    }
    return TRUE;
}

gboolean SettingsDialogGtk::OnDrawPanel(GtkWidget*, cairo_t* cr, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    SetSourceRgb(cr, kPanelBaseColour);
    cairo_paint(cr);
    if (self->panelPicture_ != nullptr) {
        cairo_set_source_surface(cr, self->panelPicture_, 0, 0);
        cairo_paint(cr);
    }
    for (int mark = 0; mark < 3; ++mark) {
        if (self->markShown_[mark]) {
            cairo_set_source_surface(cr, self->markPictures_[self->markSelected_[mark] ? 1 : 0],
                                     kMarkRects[mark].x, kMarkRects[mark].y);
            cairo_paint(cr);
        }
        DrawLabel(cr, kKindLabelRects[mark], kKindLabelTexts[mark], 0x000000, false, false);
        if (gtk_widget_has_visible_focus(self->kindButtons_[mark])) {
            DrawFocusRing(cr, self->kindButtons_[mark], Grown(kKindLabelRects[mark], 1));
        }
    }
    DrawLabel(cr, kTitleLabel);
    DrawLabel(cr, kRepeatLabel);
    // lbl_Fname: a one-pixel black border, the path inside it.
    const DialogRect& box = kFileLabelRect;
    SetSourceRgb(cr, 0x000000);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, box.x + 0.5, box.y + 0.5, box.width - 1, box.height - 1);
    cairo_stroke(cr);
    DrawLabel(cr, {box.x + 1, box.y + 1, box.width - 2, box.height - 2}, self->fileLabel_, 0x000000,
              false, false, true);
    return TRUE;
}

gboolean SettingsDialogGtk::OnPress(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    if (event->type != GDK_BUTTON_PRESS || self->dialog_ == nullptr) {
        return FALSE;  // the second and third press of a double click
    }
    self->pressedOnLink_ = OnLink(widget, event->x, event->y);
    self->dialog_->MouseDown(AreaSurface(widget), static_cast<int>(event->x),
                             static_cast<int>(event->y));
    return TRUE;
}

gboolean SettingsDialogGtk::OnRelease(GtkWidget* widget, GdkEventButton* event, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    // A click: pressed and released on the link with the left button.
    const bool click = event->button == 1 && self->pressedOnLink_ &&
                       OnLink(widget, event->x, event->y) && self->dialog_ != nullptr;
    self->pressedOnLink_ = false;
    if (click) {
        self->dialog_->LinkClick();
    }
    return TRUE;
}

gboolean SettingsDialogGtk::OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    const bool onLink = OnLink(widget, event->x, event->y);
    gdk_window_set_cursor(gtk_widget_get_window(widget), onLink ? self->handCursor_ : nullptr);
    return FALSE;
}

void SettingsDialogGtk::OnFormAllocate(GtkWidget*, GdkRectangle* allocation, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    if (self->dialog_ == nullptr ||
        (allocation->width == self->formWidth_ && allocation->height == self->formHeight_)) {
        return;
    }
    self->formWidth_ = allocation->width;
    self->formHeight_ = allocation->height;
    self->dialog_->FormResize(allocation->width, allocation->height);
}

void SettingsDialogGtk::OnDestroy(GtkWidget*, gpointer data) {
    auto* self = static_cast<SettingsDialogGtk*>(data);
    if (self->dialog_ != nullptr) {
        self->dialog_->FormUnload();
    }
    // The children's focus and selection change as they go: nothing more for the dialog.
    self->dialog_ = nullptr;
    self->window_ = nullptr;
    if (self->loop_ != nullptr) {
        g_main_loop_quit(self->loop_);
    }
}

void RunSettingsDialogGtk(const std::string& settingsFile) {
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "Velmoria: GTK cannot open the display; no settings dialog\n");
        return;
    }
    SettingsDialogGtk window;
    SettingsDialog dialog(window, settingsFile);
    window.Run(dialog);
}

}  // namespace velmoria
