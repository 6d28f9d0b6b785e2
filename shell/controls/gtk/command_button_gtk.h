// The gradient button on Linux: a GTK drawing area with a GdkWindow of its own (so "the window
// under the cursor" means what it means on Windows), its face kept in a Cairo surface and shown
// on draw, the caption drawn over it with Pango. It takes the keyboard focus (the theme's focus
// ring inside the face while GTK shows focus) and answers ATK as a push button named by its
// caption; the keys that press it are its dialog's.
#pragma once

#include <gtk/gtk.h>

#include <functional>
#include <string>

#include "shell/controls/command_button.h"

namespace velmoria {

class CommandButtonGtk final : public CommandButtonView {
  public:
    // The control with its stored properties read; put Widget() into a container and give it
    // its size with gtk_widget_set_size_request.
    CommandButtonGtk(const ButtonPropertySet& properties, const ButtonFont& hostFont,
                     std::function<void()> onClick);
    ~CommandButtonGtk() override;
    CommandButtonGtk(const CommandButtonGtk&) = delete;
    CommandButtonGtk& operator=(const CommandButtonGtk&) = delete;

    CommandButton& Control() { return control_; }
    GtkWidget* Widget() const { return widget_; }

    void DrawFace(ButtonLook look, bool reverseGradient) override;
    void LabelChanged() override;
    void StartTrackingTimer(int intervalMs) override;
    void TakeFocus() override;
    void RaiseClick() override;

  private:
    static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer self);
    static void OnSizeAllocate(GtkWidget* widget, GdkRectangle* allocation, gpointer self);
    static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer self);
    static gboolean OnFocusIn(GtkWidget* widget, GdkEventFocus* event, gpointer self);
    static gboolean OnFocusOut(GtkWidget* widget, GdkEventFocus* event, gpointer self);
    static void OnDestroy(GtkWidget* widget, gpointer self);
    static gboolean OnTrackingTick(gpointer self);
    void DrawCaption(cairo_t* cr, int width);

    CommandButton control_;
    std::function<void()> onClick_;
    GtkWidget* widget_ = nullptr;
    cairo_surface_t* face_ = nullptr;
    guint trackingTimer_ = 0;
    std::string namedCaption_;  // the accessible name given last
};

// Draws a whole face (gradient and the picture's eight pieces, no caption) with its top-left
// pixel at the origin: the control's own drawing, and the face tool's.
void PaintFaceCairo(cairo_t* cr, int width, int height, ButtonLook look, bool reverseGradient);

// The Pango family that stands in for a Windows font name: IPAPGothic, the metric twin, for the
// dialog's Japanese face; other names as they are.
const char* LinuxFontFamily(const std::string& windowsName);

// A Pango layout for drawing on `cr` in that font (its Linux family, its size at 96 dots per
// inch, weight, slant, underline and strikeout). The caller unrefs it.
PangoLayout* CreateFontLayout(cairo_t* cr, const ButtonFont& font);

}  // namespace velmoria
