// The dialog's layout at a display scale.
#include "shell/settings_dialog/dialog_layout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace velmoria {

int DialogScale::Length(int designPixels) const {
    const long long product = static_cast<long long>(designPixels) * dpi_;
    const long long half = kDesignDpi / 2;
    const long long magnitude = (std::llabs(product) + half) / kDesignDpi;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

DialogRect DialogScale::Place(const DialogRect& design) const {
    const int left = Length(design.x);
    const int top = Length(design.y);
    return {left, top, Length(design.x + design.width) - left,
            Length(design.y + design.height) - top};
}

int DialogScale::Ring() const {
    return std::max(1, (dpi_ + kDesignDpi / 2) / kDesignDpi);
}

int DialogScale::FontPixels(double points) const {
    return static_cast<int>(std::floor(points * dpi_ / 72.0 + 0.5));
}

}  // namespace velmoria
