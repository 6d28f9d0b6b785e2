// dialog-layout DPI FOLDER: what the settings dialog looks like at a display scale, for the
// end-to-end checks of a screenshot. Writes FOLDER/layout.txt (one control a line: surface,
// name and rectangle in client pixels) and the two backgrounds the controls are drawn over,
// FOLDER/form.ppm and FOLDER/panel.ppm.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "assets/dialog_pictures.h"
#include "shell/controls/button_face.h"
#include "shell/settings_dialog/settings_dialog.h"

namespace {

using velmoria::DialogRect;
using velmoria::DialogScale;

bool WritePpm(const std::string& path, const velmoria::Picture& image) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    std::fprintf(file, "P6\n%d %d\n255\n", image.width, image.height);
    bool written = true;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t rgb = image.At(x, y);
            const unsigned char bytes[3] = {static_cast<unsigned char>(rgb >> 16),
                                            static_cast<unsigned char>(rgb >> 8),
                                            static_cast<unsigned char>(rgb)};
            written = written && std::fwrite(bytes, 1, 3, file) == 3;
        }
    }
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: dialog-layout DPI FOLDER\n");
        return 2;
    }
    const int dpi = std::atoi(argv[1]);
    if (dpi < 24 || dpi > 960) {
        std::fprintf(stderr, "dialog-layout: no such DPI: %s\n", argv[1]);
        return 2;
    }
    const std::string folder = argv[2];
    const DialogScale scale(dpi);
    const DialogRect panel = scale.Place(velmoria::kPanelRect);

    FILE* layout = std::fopen((folder + "/layout.txt").c_str(), "w");
    if (layout == nullptr) {
        std::fprintf(stderr, "dialog-layout: cannot write in %s\n", folder.c_str());
        return 1;
    }
    const auto line = [&](const char* surface, const std::string& name, const DialogRect& design) {
        DialogRect r = scale.Place(design);
        if (std::string(surface) == "panel") {
            r.x += panel.x;
            r.y += panel.y;
        }
        std::fprintf(layout, "%s %s %d %d %d %d\n", surface, name.c_str(), r.x, r.y, r.width,
                     r.height);
    };
    std::fprintf(layout, "client - 0 0 %d %d\n", scale.ClientWidth(), scale.ClientHeight());
    std::fprintf(layout, "ring - %d 0 0 0\n", scale.Ring());
    std::fprintf(layout, "form panel %d %d %d %d\n", panel.x, panel.y, panel.width, panel.height);
    line("form", "credit", velmoria::kCreditLabel.rect);
    line("form", "link", velmoria::kLinkLabel.rect);
    line("panel", "title", velmoria::kTitleLabel.rect);
    line("panel", "repeat-label", velmoria::kRepeatLabel.rect);
    line("panel", "repeat-box", velmoria::kRepeatComboRect);
    line("panel", "file-box", velmoria::kFileLabelRect);
    for (int kind = 0; kind < 3; ++kind) {
        line("panel", "mark-" + std::to_string(kind), velmoria::kMarkRects[kind]);
        line("panel", "kind-" + std::to_string(kind), velmoria::kKindLabelRects[kind]);
    }
    const char* const buttonNames[] = {"file-button", "set-button", "cancel-button"};
    for (const velmoria::DialogButtonPlace& place : velmoria::kDialogButtons) {
        const char* surface = place.surface == velmoria::DialogSurface::Panel ? "panel" : "form";
        const std::string name = buttonNames[static_cast<int>(place.button)];
        line(surface, name, place.rect);
        // Where the button draws its caption, in client pixels.
        DialogRect face = scale.Place(place.rect);
        if (place.surface == velmoria::DialogSurface::Panel) {
            face.x += panel.x;
            face.y += panel.y;
        }
        const int top =
            velmoria::TwipsToPixelsAt(velmoria::CaptionTopTwips(face.height * 1440 / dpi), dpi);
        std::fprintf(layout, "caption %s %d %d %d %d\n", name.c_str(), face.x, face.y + top,
                     face.width, velmoria::TwipsToPixelsAt(velmoria::kCaptionHeightTwips, dpi));
    }
    const bool closed = std::fclose(layout) == 0;

    const bool drawn =
        WritePpm(folder + "/form.ppm",
                 velmoria::FormBackground(scale.ClientWidth(), scale.ClientHeight())) &&
        WritePpm(folder + "/panel.ppm",
                 velmoria::PanelBackground(velmoria::ScaledMetalStrip(scale), scale));
    if (!closed || !drawn) {
        std::fprintf(stderr, "dialog-layout: cannot write in %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
