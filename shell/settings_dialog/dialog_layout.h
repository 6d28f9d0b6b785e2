// The settings dialog's layout: every control's rectangle in pixels (the panel's children
// relative to the panel), its text and its look. Both backends place and draw from this table.
#pragma once

#include <array>
#include <cstdint>

namespace velmoria {

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Contains(int px, int py) const {
        return px >= x && py >= y && px < x + width && py < y + height;
    }
};

// The two surfaces the windowless controls (labels, marks, the outline) are drawn on.
enum class DialogSurface { Form, Panel };

constexpr int kDialogClientWidth = 496;
constexpr int kDialogClientHeight = 246;
constexpr uint32_t kDialogBaseColour = 0xC0C0C0;  // under the gradient
constexpr uint32_t kPanelBaseColour = 0xE0E0E0;   // under the metal strip

// Pic_C, on the form.
constexpr DialogRect kPanelRect{12, 16, 469, 165};
// Shape3, the black outline framing "BGM", on the panel.
constexpr DialogRect kTitleOutlineRect{20, 20, 113, 21};
// BGM_Repeat, on the panel; its font is the panel's (Tahoma 8.25 pt).
constexpr DialogRect kRepeatComboRect{112, 52, 41, 20};
constexpr double kRepeatComboPoints = 8.25;
// lbl_Fname, on the panel: the chosen file's path, in a single-line border.
constexpr DialogRect kFileLabelRect{44, 116, 409, 33};

// Img_BGM 0, 1, 2 (the selection marks) and lbl_BGM 0, 1, 2, on the panel, by music kind.
constexpr std::array<DialogRect, 3> kMarkRects{
    {{28, 76, 13, 13}, {28, 56, 13, 13}, {28, 96, 13, 13}}};
constexpr std::array<DialogRect, 3> kKindLabelRects{
    {{44, 76, 22, 13}, {44, 56, 43, 13}, {44, 96, 60, 13}}};
constexpr std::array<const char*, 3> kKindLabelTexts{{"なし", "音楽CD", "MP3、WAV"}};

// The labels that only show text (UTF-8).
struct DialogLabel {
    DialogSurface surface;
    DialogRect rect;
    const char* text;
    uint32_t colour;  // 0xRRGGBB
    bool centred;
    bool underlined;
};

// The maker's web address that lbl_URL shows and opens.
constexpr const char* kProjectHomePage = "https://velmoria.org/";

constexpr DialogLabel kTitleLabel{
    DialogSurface::Panel, {20, 24, 111, 13}, "BGM", 0x000000, true, false};
constexpr DialogLabel kRepeatLabel{
    DialogSurface::Panel, {156, 56, 66, 13}, "曲目をﾘﾋﾟｰﾄ", 0x000000, false, false};
constexpr DialogLabel kCreditLabel{DialogSurface::Form,
                                   {12, 192, 165, 13},
                                   "Designed by q-sarn Ver.1.0.0",
                                   0xFFFFFF,
                                   false,
                                   false};
constexpr DialogLabel kLinkLabel{
    DialogSurface::Form, {12, 208, 219, 13}, kProjectHomePage, 0xFFFFFF, false, true};

// The three gradient buttons.
enum class DialogButton { File, Set, Cancel };
struct DialogButtonPlace {
    DialogButton button;
    DialogSurface surface;
    DialogRect rect;
    const char* properties;  // the stored property set, in the button's text form
};
constexpr std::array<DialogButtonPlace, 3> kDialogButtons{{
    {DialogButton::File, DialogSurface::Panel, {112, 92, 41, 21}, "Caption = \"...\"\n"},
    {DialogButton::Set, DialogSurface::Form, {324, 200, 77, 25}, "Caption = \"設定\"\n"},
    {DialogButton::Cancel, DialogSurface::Form, {404, 200, 77, 25}, "Caption = \"ｷｬﾝｾﾙ\"\n"},
}};

// The pictures the dialog carries (Pic_Mbl and Img_Ra), and the link's cursor.
constexpr int kMetalStripWidth = 556;
constexpr int kMetalStripHeight = 20;
constexpr int kMarkPictureSize = 12;
constexpr int kHandCursorSize = 32;
constexpr int kHandCursorHotX = 12;
constexpr int kHandCursorHotY = 10;

// The layout at a display scale. The rectangles above are the layout at 96 dots per inch; at
// any other DPI every edge is scaled by DPI / 96, so neighbours stay neighbours and the whole
// dialog grows as one picture.
class DialogScale {
  public:
    static constexpr int kDesignDpi = 96;

    explicit DialogScale(int dpi = kDesignDpi) : dpi_(dpi > 0 ? dpi : kDesignDpi) {}

    int Dpi() const { return dpi_; }
    // A design length or coordinate at this scale, to the nearest pixel (halves away from
    // zero, as MulDiv rounds).
    int Length(int designPixels) const;
    // A design rectangle with its four edges scaled.
    DialogRect Place(const DialogRect& design) const;
    // The width of what is one pixel at 96 DPI (rings, outlines, frames): whole pixels, so
    // they stay crisp.
    int Ring() const;
    int ClientWidth() const { return Length(kDialogClientWidth); }
    int ClientHeight() const { return Length(kDialogClientHeight); }
    // A font's height in pixels at this scale: `points` / 72 inch, to the nearest pixel.
    int FontPixels(double points) const;

    bool operator==(const DialogScale& other) const { return dpi_ == other.dpi_; }

  private:
    int dpi_;
};

}  // namespace velmoria
