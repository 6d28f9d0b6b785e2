// What the bitmap loader asks of the platform: turn a validated DIB description into a
// bottom-up, 24-bit, blue-green-red image whose rows are padded to four bytes.
#pragma once

#include <cstdint>

#include "dib_format.h"

namespace velmoria {

class Bgr24Converter {
  public:
    virtual ~Bgr24Converter() = default;
    // Converts `source` (|height| rows). On success `rows` points at the converted image, valid
    // until the converter is destroyed. Fails with OutOfMemory or ConversionError.
    virtual DibStatus Convert(const DibDescription& source, const uint8_t** rows) = 0;
};

}  // namespace velmoria
