// What the button gallery shows on both platforms, and its face-drawing commands.
//
//   button-gallery                    a window of buttons; prints "button NAME X Y W H" (screen
//                                     pixels) for each, then "ready", then "Click NAME" per click
//   button-gallery --face LOOK W H normal|reversed OUT.bmp
//                                     one face, drawn as the control draws it, without a window
//   button-gallery --faces DIR        every look in both directions at each gallery size
#pragma once

#include <functional>

#include "shell/controls/button_look.h"
#include "shell/controls/picture.h"

namespace velmoria {

struct GalleryButton {
    const char* name;
    int x;
    int y;
    int width;
    int height;
    const char* properties;  // the stored property set's text form
};

constexpr int kGalleryWidth = 240;
constexpr int kGalleryHeight = 100;
constexpr uint32_t kGalleryBackground = 0xC0C0C0;
constexpr const char* kGalleryTitle = "Button gallery";

constexpr GalleryButton kGalleryButtons[] = {
    {"set", 16, 16, 77, 25, "Caption = \"設定\"\n"},
    {"file", 104, 18, 41, 21, "Caption = \"...\"\n"},
    {"odd", 156, 19, 58, 19, "Caption = \"Odd\"\n"},
    {"cancel", 16, 60, 77, 25, "Enabled = 0\nCaption = \"ｷｬﾝｾﾙ\"\n"},
};

// Draws one face as the platform's control does.
using FaceRenderer = std::function<Picture(ButtonLook look, int width, int height, bool reverse)>;

// Runs --face or --faces; -1 when the arguments ask for neither.
int RunFaceCommand(int argc, char** argv, const FaceRenderer& render);

}  // namespace velmoria
