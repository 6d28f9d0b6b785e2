// The preview set-up. Each step is guarded: a failing step is skipped and the next one runs.
#include "shell/forms/preview.h"

#include <cmath>
#include <cstdlib>

#include "assets/preview_still.h"
#include "common/dib_loader.h"
#include "common/dib_software_converter.h"
#include "shell/forms/image_scale.h"
#include "shell/guarded_step.h"
#include "shell/settings/settings_file.h"

namespace velmoria {

const char* const kPreviewWindowTitle = "Preview Window";

int16_t PreviewLeft = 0;
int16_t PreviewTop = 0;
int16_t PreviewWidth = 0;
int16_t PreviewHeight = 0;

namespace {

struct StepFailed : std::exception {};

}  // namespace

std::optional<int16_t> PixelsToTwips(int32_t pixels, double twipsPerPixel) {
    const double twips = std::nearbyint(twipsPerPixel * pixels);  // ties to even
    if (!(twips >= -32768.0 && twips <= 32767.0)) {
        return std::nullopt;
    }
    return static_cast<int16_t>(twips);
}

int32_t TwipsToPixels(int32_t twips, double twipsPerPixel) {
    return twipsPerPixel > 0 ? static_cast<int32_t>(std::nearbyint(twips / twipsPerPixel)) : 0;
}

PixelImage PreviewStill() {
    const std::vector<uint8_t>& bmp = PreviewStillBmp();
    SoftwareBgr24Converter converter;
    const DibLoadResult loaded = LoadDibFromMemory(bmp.data(), bmp.size(), converter);
    PixelImage still;
    if (loaded.image == nullptr) {
        return still;
    }
    const RgbImage& image = *loaded.image;
    still.width = image.width;
    still.height = image.height;
    still.rgb.resize(static_cast<size_t>(image.width) * image.height * 3);
    const size_t row = static_cast<size_t>(image.width) * 3;
    for (int32_t y = 0; y < image.height; ++y) {
        // The loader gives the bottom row first.
        const uint8_t* in = image.pixels + static_cast<size_t>(image.height - 1 - y) * row;
        std::copy(in, in + row, still.rgb.begin() + static_cast<std::ptrdiff_t>(y * row));
    }
    FreeRgbImage(loaded.image);
    return still;
}

void PreviewForm::Start(int32_t hostWindow) {
    ShellPlatform& platform = ShellPlatform::Current();
    // Handles are 32-bit: a negative value is a large unsigned one.
    const WindowHandle host = static_cast<WindowHandle>(static_cast<uint32_t>(hostWindow));
    if (!platform.IsWindow(host)) {
        return;
    }
    const double twipsX = platform.TwipsPerPixelX();
    const double twipsY = platform.TwipsPerPixelY();
    PixelRect rect;
    Guarded([&] {
        const std::optional<PixelRect> hostRect = platform.WindowRectangle(host);
        ApiResult = hostRect.has_value() ? 1 : 0;
        if (!hostRect) {
            throw StepFailed();
        }
        rect = *hostRect;
    });
    Guarded([&] {
        PreviewLeft = 0;
        PreviewTop = 0;
    });
    // A side too large for 16 bits leaves that side at 0: the preview is invisible in it.
    Guarded([&] { PreviewWidth = PixelsToTwips(rect.right - rect.left, twipsX).value(); });
    Guarded([&] { PreviewHeight = PixelsToTwips(rect.bottom - rect.top, twipsY).value(); });
    Guarded([&] {
        window_ = platform.CreateForm(kPreviewWindowTitle, kPreviewBackground, this);
        if (window_ == 0) {
            throw StepFailed();
        }
    });
    Guarded([&] { ApiResult = platform.AddChildStyle(window_); });
    Guarded([&] { ApiResult = platform.SetParentWindow(window_, host); });
    // A host gone since the first look would leave a preview that nothing ever closes.
    if (window_ != 0 && ApiResult == 0 && !platform.IsWindow(host)) {
        platform.EndProgram();
        return;
    }
    Guarded([&] {
        platform.MoveForm(window_, TwipsToPixels(PreviewLeft, twipsX),
                          TwipsToPixels(PreviewTop, twipsY), TwipsToPixels(PreviewWidth, twipsX),
                          TwipsToPixels(PreviewHeight, twipsY));
    });
    Guarded([&] {
        // Img_Prev at (0, 0), stretched to the host's size in pixels.
        platform.SetFormPicture(window_, 0, 0,
                                ScaleImage(PreviewStill(), TwipsToPixels(PreviewWidth, twipsX),
                                           TwipsToPixels(PreviewHeight, twipsY)));
    });
    Guarded([&] { platform.ShowForm(window_); });
}

}  // namespace velmoria
