#include "shell/controls/gtk/command_button_gtk.h"

#include <string>
#include <utility>

#include "assets/button_pictures.h"
#include "shell/controls/button_face.h"

namespace velmoria {

namespace {

// The six state pictures as Cairo surfaces, made once for all controls.
cairo_surface_t* StatePicture(ButtonLook look) {
    static cairo_surface_t* pictures[6] = {};
    cairo_surface_t*& picture = pictures[static_cast<int>(look)];
    if (picture == nullptr) {
        const Picture image = MakeButtonPicture(look);
        picture = cairo_image_surface_create(CAIRO_FORMAT_RGB24, image.width, image.height);
        cairo_surface_flush(picture);
        unsigned char* data = cairo_image_surface_get_data(picture);
        const int stride = cairo_image_surface_get_stride(picture);
        for (int y = 0; y < image.height; ++y) {
            auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
            for (int x = 0; x < image.width; ++x) {
                row[x] = image.At(x, y);
            }
        }
        cairo_surface_mark_dirty(picture);
    }
    return picture;
}

void SetSourceRgb(cairo_t* cr, uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                         (rgb & 0xFF) / 255.0);
}

// One source pixel column (or row, or pixel) copied to one place, unfiltered.
void CopyBlock(cairo_t* cr, cairo_surface_t* picture, int sx, int sy, int tx, int ty, int width,
               int height) {
    cairo_set_source_surface(cr, picture, tx - sx, ty - sy);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, tx, ty, width, height);
    cairo_fill(cr);
}

MouseButton ToMouseButton(guint button, bool* known) {
    *known = button >= 1 && button <= 3;
    return button == 1 ? MouseButton::Left : button == 3 ? MouseButton::Right : MouseButton::Middle;
}

}  // namespace

const char* LinuxFontFamily(const std::string& windowsName) {
    if (windowsName == "ＭＳ Ｐゴシック" || windowsName == "MS PGothic") {
        return "IPAPGothic";
    }
    return windowsName.c_str();
}

void PaintFaceCairo(cairo_t* cr, int width, int height, ButtonLook look, bool reverseGradient) {
    cairo_save(cr);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    SetSourceRgb(cr, kFaceBackground);
    cairo_rectangle(cr, 0, 0, width, height);
    cairo_fill(cr);

    // The gradient row by row, as GradientFill fills the rectangle from (0, 0) to the last
    // pixel's corner: that last column and row are left as they were.
    const FaceGradient gradient = FaceGradientColours(reverseGradient);
    const int rows = height - 1;
    for (int y = 0; y < rows && width > 1; ++y) {
        SetSourceRgb(cr, GradientRowColour(gradient, y, rows));
        cairo_rectangle(cr, 0, y, width - 1, 1);
        cairo_fill(cr);
    }

    // The pieces: stretched along their length only, each target pixel copying the source
    // pixel GDI's StretchBlt would pick.
    cairo_surface_t* picture = StatePicture(look);
    for (const FacePiece& piece : FacePieces(width * kTwipsPerPixel, height * kTwipsPerPixel)) {
        const PieceRect& s = piece.source;
        const PieceRect& t = piece.target;
        const std::vector<int> columns =
            StretchSourceIndices(s.width, t.width, StretchAxis::Horizontal);
        const std::vector<int> rowsFrom =
            StretchSourceIndices(s.height, t.height, StretchAxis::Vertical);
        if (s.height == t.height) {
            for (int i = 0; i < t.width; ++i) {
                CopyBlock(cr, picture, s.x + columns[i], s.y, t.x + i, t.y, 1, t.height);
            }
        } else if (s.width == t.width) {
            for (int j = 0; j < t.height; ++j) {
                CopyBlock(cr, picture, s.x, s.y + rowsFrom[j], t.x, t.y + j, t.width, 1);
            }
        } else {
            for (int j = 0; j < t.height; ++j) {
                for (int i = 0; i < t.width; ++i) {
                    CopyBlock(cr, picture, s.x + columns[i], s.y + rowsFrom[j], t.x + i, t.y + j, 1,
                              1);
                }
            }
        }
    }
    cairo_restore(cr);
}

CommandButtonGtk::CommandButtonGtk(const ButtonPropertySet& properties, const ButtonFont& hostFont,
                                   std::function<void()> onClick)
    : control_(*this, hostFont), onClick_(std::move(onClick)) {
    widget_ = gtk_drawing_area_new();
    g_object_ref_sink(widget_);
    gtk_widget_set_can_focus(widget_, TRUE);
    gtk_widget_add_events(widget_, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK |
                                       GDK_POINTER_MOTION_MASK | GDK_FOCUS_CHANGE_MASK);
    g_signal_connect(widget_, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(widget_, "size-allocate", G_CALLBACK(OnSizeAllocate), this);
    g_signal_connect(widget_, "button-press-event", G_CALLBACK(OnButtonPress), this);
    g_signal_connect(widget_, "button-release-event", G_CALLBACK(OnButtonRelease), this);
    g_signal_connect(widget_, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(widget_, "focus-in-event", G_CALLBACK(OnFocusIn), this);
    g_signal_connect(widget_, "focus-out-event", G_CALLBACK(OnFocusOut), this);
    g_signal_connect(widget_, "destroy", G_CALLBACK(OnDestroy), this);
    // The theme's focus ring on the edge of the rectangle given, not outside it.
    static GtkCssProvider* const focusCss = [] {
        GtkCssProvider* css = gtk_css_provider_new();
        gtk_css_provider_load_from_data(css, "* { outline-offset: -1px; }", -1, nullptr);
        return css;
    }();
    gtk_style_context_add_provider(gtk_widget_get_style_context(widget_),
                                   GTK_STYLE_PROVIDER(focusCss),
                                   GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    atk_object_set_role(gtk_widget_get_accessible(widget_), ATK_ROLE_PUSH_BUTTON);
    control_.ReadProperties(properties);
}

CommandButtonGtk::~CommandButtonGtk() {
    if (trackingTimer_ != 0) {
        g_source_remove(trackingTimer_);
    }
    g_signal_handlers_disconnect_by_data(widget_, this);
    g_object_unref(widget_);
    if (face_ != nullptr) {
        cairo_surface_destroy(face_);
    }
}

void CommandButtonGtk::DrawFace(ButtonLook look, bool reverseGradient) {
    if (face_ == nullptr) {
        return;
    }
    cairo_t* cr = cairo_create(face_);
    PaintFaceCairo(cr, cairo_image_surface_get_width(face_), cairo_image_surface_get_height(face_),
                   look, reverseGradient);
    cairo_destroy(cr);
    gtk_widget_queue_draw(widget_);
}

void CommandButtonGtk::LabelChanged() {
    // A disabled button takes no focus, as a system button; it ignores the mouse anyway.
    gtk_widget_set_sensitive(widget_, control_.EnabledField());
    if (control_.Caption() != namedCaption_) {
        namedCaption_ = control_.Caption();
        atk_object_set_name(gtk_widget_get_accessible(widget_), namedCaption_.c_str());
    }
    gtk_widget_queue_draw(widget_);
}

void CommandButtonGtk::StartTrackingTimer(int intervalMs) {
    if (trackingTimer_ == 0) {
        trackingTimer_ = g_timeout_add(static_cast<guint>(intervalMs), OnTrackingTick, this);
    }
}

void CommandButtonGtk::TakeFocus() {
    if (!gtk_widget_has_focus(widget_)) {
        gtk_widget_grab_focus(widget_);
    }
}

void CommandButtonGtk::RaiseClick() {
    if (onClick_) {
        onClick_();
    }
}

gboolean CommandButtonGtk::OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self) {
    auto* button = static_cast<CommandButtonGtk*>(self);
    if (button->control_.Opaque() && button->face_ != nullptr) {
        cairo_set_source_surface(cr, button->face_, 0, 0);
        cairo_paint(cr);
    }
    const int width = gtk_widget_get_allocated_width(widget);
    button->DrawCaption(cr, width);
    if (gtk_widget_has_visible_focus(widget)) {
        // Inside the face's 4-pixel frame, one pixel clear of it, so the caption stays clear.
        constexpr int kInset = 4 + 1;
        gtk_render_focus(gtk_widget_get_style_context(widget), cr, kInset, kInset,
                         width - 2 * kInset, gtk_widget_get_allocated_height(widget) - 2 * kInset);
    }
    return TRUE;
}

PangoLayout* CreateFontLayout(cairo_t* cr, const ButtonFont& font) {
    PangoLayout* layout = pango_cairo_create_layout(cr);
    PangoFontDescription* description = pango_font_description_new();
    pango_font_description_set_family(description, LinuxFontFamily(font.name));
    // Points at 96 dots per inch, as the Windows control sizes them.
    pango_font_description_set_absolute_size(description, font.points * 96 / 72 * PANGO_SCALE);
    pango_font_description_set_weight(description, static_cast<PangoWeight>(font.weight));
    pango_font_description_set_style(description,
                                     font.italic ? PANGO_STYLE_ITALIC : PANGO_STYLE_NORMAL);
    pango_layout_set_font_description(layout, description);
    pango_font_description_free(description);
    PangoAttrList* attributes = pango_attr_list_new();
    if (font.underline) {
        pango_attr_list_insert(attributes, pango_attr_underline_new(PANGO_UNDERLINE_SINGLE));
    }
    if (font.strikeout) {
        pango_attr_list_insert(attributes, pango_attr_strikethrough_new(TRUE));
    }
    pango_layout_set_attributes(layout, attributes);
    pango_attr_list_unref(attributes);
    return layout;
}

void CommandButtonGtk::DrawCaption(cairo_t* cr, int width) {
    const CaptionLabel& label = control_.Label();
    const int top = TwipsToPixels(label.topTwips);
    const int height = TwipsToPixels(kCaptionHeightTwips);
    PangoLayout* layout = CreateFontLayout(cr, label.font);
    pango_layout_set_width(layout, width * PANGO_SCALE);
    pango_layout_set_wrap(layout, PANGO_WRAP_WORD);
    pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER);
    // "&" marks the next character as the mnemonic, as a Windows label shows it.
    char* escaped = g_markup_escape_text(label.caption.c_str(), -1);
    pango_layout_set_markup_with_accel(layout, escaped, -1, '&', nullptr);
    g_free(escaped);

    cairo_save(cr);
    cairo_rectangle(cr, 0, top, width, height);
    cairo_clip(cr);
    const uint32_t colour = label.colour;  // 0x00BBGGRR
    if (label.enabled) {
        cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0,
                             ((colour >> 16) & 0xFF) / 255.0);
    } else {
        SetSourceRgb(cr, kGreyedCaption);
    }
    cairo_move_to(cr, 0, top);
    pango_cairo_show_layout(cr, layout);
    cairo_restore(cr);
    g_object_unref(layout);
}

void CommandButtonGtk::OnSizeAllocate(GtkWidget*, GdkRectangle* allocation, gpointer self) {
    auto* button = static_cast<CommandButtonGtk*>(self);
    if (button->face_ != nullptr &&
        cairo_image_surface_get_width(button->face_) == allocation->width &&
        cairo_image_surface_get_height(button->face_) == allocation->height) {
        return;
    }
    if (button->face_ != nullptr) {
        cairo_surface_destroy(button->face_);
    }
    button->face_ =
        cairo_image_surface_create(CAIRO_FORMAT_RGB24, allocation->width, allocation->height);
    button->control_.Resized(allocation->width * kTwipsPerPixel,
                             allocation->height * kTwipsPerPixel);
}

gboolean CommandButtonGtk::OnButtonPress(GtkWidget*, GdkEventButton* event, gpointer self) {
    bool known = false;
    const MouseButton button = ToMouseButton(event->button, &known);
    // Double and triple presses come after a plain press of their own.
    if (event->type == GDK_BUTTON_PRESS && known) {
        static_cast<CommandButtonGtk*>(self)->control_.MouseDown(button);
    }
    return TRUE;
}

gboolean CommandButtonGtk::OnButtonRelease(GtkWidget*, GdkEventButton* event, gpointer self) {
    bool known = false;
    const MouseButton button = ToMouseButton(event->button, &known);
    if (known) {
        static_cast<CommandButtonGtk*>(self)->control_.MouseUp(button);
    }
    return TRUE;
}

gboolean CommandButtonGtk::OnMotion(GtkWidget*, GdkEventMotion*, gpointer self) {
    static_cast<CommandButtonGtk*>(self)->control_.MouseMove();
    return TRUE;
}

gboolean CommandButtonGtk::OnFocusIn(GtkWidget*, GdkEventFocus*, gpointer self) {
    static_cast<CommandButtonGtk*>(self)->control_.FocusGained();
    return TRUE;
}

gboolean CommandButtonGtk::OnFocusOut(GtkWidget*, GdkEventFocus*, gpointer self) {
    static_cast<CommandButtonGtk*>(self)->control_.FocusLost();
    return TRUE;
}

void CommandButtonGtk::OnDestroy(GtkWidget*, gpointer self) {
    auto* button = static_cast<CommandButtonGtk*>(self);
    if (button->trackingTimer_ != 0) {
        g_source_remove(button->trackingTimer_);
        button->trackingTimer_ = 0;
    }
}

gboolean CommandButtonGtk::OnTrackingTick(gpointer self) {
    auto* button = static_cast<CommandButtonGtk*>(self);
    GdkWindow* own = gtk_widget_get_window(button->widget_);
    if (own == nullptr) {
        return G_SOURCE_CONTINUE;
    }
    GdkDevice* pointer =
        gdk_seat_get_pointer(gdk_display_get_default_seat(gtk_widget_get_display(button->widget_)));
    GdkWindow* under = gdk_device_get_window_at_position(pointer, nullptr, nullptr);
    GdkWindow* form = gtk_widget_get_window(gtk_widget_get_toplevel(button->widget_));
    button->control_.TrackingTick(under == own    ? PointerOver::Control
                                  : under == form ? PointerOver::ParentForm
                                                  : PointerOver::Elsewhere);
    return G_SOURCE_CONTINUE;
}

}  // namespace velmoria
