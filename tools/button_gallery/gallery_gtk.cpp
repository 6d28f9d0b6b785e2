// The button gallery on Linux: the GTK control in a plain window.
#include <gtk/gtk.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "shell/controls/gtk/command_button_gtk.h"
#include "tools/button_gallery/gallery.h"

using namespace velmoria;

namespace {

Picture RenderFace(ButtonLook look, int width, int height, bool reverse) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height);
    cairo_t* cr = cairo_create(surface);
    PaintFaceCairo(cr, width, height, look, reverse);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    Picture image(width, height);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + y * stride);
        for (int x = 0; x < width; ++x) {
            image.Set(x, y, row[x] & 0xFFFFFF);
        }
    }
    cairo_surface_destroy(surface);
    return image;
}

struct Gallery {
    GtkWidget* window = nullptr;
    std::vector<std::unique_ptr<CommandButtonGtk>> buttons;
};

gboolean DrawBackground(GtkWidget*, cairo_t* cr, gpointer) {
    cairo_set_source_rgb(cr, ((kGalleryBackground >> 16) & 0xFF) / 255.0,
                         ((kGalleryBackground >> 8) & 0xFF) / 255.0,
                         (kGalleryBackground & 0xFF) / 255.0);
    cairo_paint(cr);
    return FALSE;
}

// Once the window is on screen (and a window manager has placed it), where each button is.
gboolean PrintPlaces(gpointer data) {
    auto* gallery = static_cast<Gallery*>(data);
    for (size_t i = 0; i < gallery->buttons.size(); ++i) {
        int x = 0;
        int y = 0;
        gdk_window_get_origin(gtk_widget_get_window(gallery->buttons[i]->Widget()), &x, &y);
        std::printf("button %s %d %d %d %d\n", kGalleryButtons[i].name, x, y,
                    kGalleryButtons[i].width, kGalleryButtons[i].height);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return G_SOURCE_REMOVE;
}

}  // namespace

int main(int argc, char** argv) {
    const int faceResult = RunFaceCommand(argc, argv, RenderFace);
    if (faceResult >= 0) {
        return faceResult;
    }
    if (!gtk_init_check(&argc, &argv)) {
        std::fprintf(stderr, "button-gallery: cannot open the display\n");
        return 1;
    }
    Gallery gallery;
    gallery.window = gtk_window_new(GTK_WINDOW_TOPLEVEL);
    gtk_window_set_title(GTK_WINDOW(gallery.window), kGalleryTitle);
    gtk_window_set_resizable(GTK_WINDOW(gallery.window), FALSE);
    gtk_window_move(GTK_WINDOW(gallery.window), 40, 40);
    GtkWidget* fixed = gtk_fixed_new();
    gtk_widget_set_size_request(fixed, kGalleryWidth, kGalleryHeight);
    g_signal_connect(fixed, "draw", G_CALLBACK(DrawBackground), nullptr);
    gtk_container_add(GTK_CONTAINER(gallery.window), fixed);
    for (const GalleryButton& button : kGalleryButtons) {
        const char* name = button.name;
        gallery.buttons.push_back(std::make_unique<CommandButtonGtk>(
            ButtonPropertySet::Parse(button.properties), DialogFont(), [name] {
                std::printf("Click %s\n", name);
                std::fflush(stdout);
            }));
        GtkWidget* widget = gallery.buttons.back()->Widget();
        gtk_widget_set_size_request(widget, button.width, button.height);
        gtk_fixed_put(GTK_FIXED(fixed), widget, button.x, button.y);
    }
    for (auto& button : gallery.buttons) {
        button->Control().Initialize();
    }
    g_signal_connect(gallery.window, "destroy", G_CALLBACK(gtk_main_quit), nullptr);
    gtk_widget_show_all(gallery.window);
    // As on Windows, no button starts with the focus: showing a GTK window would give it to
    // the first one.
    gtk_window_set_focus(GTK_WINDOW(gallery.window), nullptr);
    g_timeout_add(300, PrintPlaces, &gallery);
    gtk_main();
    return 0;
}
