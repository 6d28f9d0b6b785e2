// Our own DIB to 24-bit conversion, for platforms without GDI: 1-, 4-, 8-, 16-, 24- and 32-bit
// images through their colour tables or bit-field masks, RLE8 and RLE4.
#pragma once

#include <vector>

#include "dib_converter.h"

namespace velmoria {

class SoftwareBgr24Converter final : public Bgr24Converter {
  public:
    DibStatus Convert(const DibDescription& source, const uint8_t** rows) override;

  private:
    std::vector<uint8_t> section_;
};

}  // namespace velmoria
