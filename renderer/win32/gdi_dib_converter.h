// GDI conversion: SetDIBits of the working description into a 24-bit DIB section.
#pragma once

#include <windows.h>

#include <vector>

#include "common/dib_converter.h"

namespace velmoria {

class Bgr24ConverterGdi final : public Bgr24Converter {
  public:
    Bgr24ConverterGdi() = default;
    Bgr24ConverterGdi(const Bgr24ConverterGdi&) = delete;
    Bgr24ConverterGdi& operator=(const Bgr24ConverterGdi&) = delete;
    ~Bgr24ConverterGdi() override;

    DibStatus Convert(const DibDescription& source, const uint8_t** rows) override;

  private:
    HDC dc_ = nullptr;
    HBITMAP section_ = nullptr;
};

}  // namespace velmoria
