// The preview form Skorvane_R: a still of the animation inside the display settings' small
// preview window, made a borderless child of that window and stretched over it. Nothing moves,
// no music plays, nothing else is touched.
#pragma once

#include <cstdint>
#include <optional>

#include "shell/platform.h"

namespace velmoria {

extern const char* const kPreviewWindowTitle;  // "Preview Window"
constexpr uint32_t kPreviewBackground = 0xC0C0C0;

// The preview's geometry in twips, 16-bit signed, module-level.
extern int16_t PreviewLeft;
extern int16_t PreviewTop;
extern int16_t PreviewWidth;
extern int16_t PreviewHeight;

// Pixels times twips per pixel, rounded to the nearest whole number (halves to even), as a 16-bit
// twips value; empty when it does not fit (a host wider or taller than 32767 twips).
std::optional<int16_t> PixelsToTwips(int32_t pixels, double twipsPerPixel);

// Twips back to whole pixels, rounded the same way.
int32_t TwipsToPixels(int32_t twips, double twipsPerPixel);

class PreviewForm final : public FormEvents {
  public:
    // The preview set-up, steps 1 to 9. A host that is no window (0 among them), or that has
    // gone before the preview could be put inside it, ends the program at once: nothing would
    // ever close a preview nobody shows.
    void Start(int32_t hostWindow);

    void OnTimer(int) override {}
    void OnQueryUnload() override { ShellPlatform::Current().EndProgram(); }

    WindowHandle Window() const { return window_; }

  private:
    WindowHandle window_ = 0;
};

// The still the preview shows, decoded from the copy the program carries.
PixelImage PreviewStill();

}  // namespace velmoria
