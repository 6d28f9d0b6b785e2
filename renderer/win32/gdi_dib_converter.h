// GDI conversion: SetDIBits of the working description into a 24-bit DIB section.
#pragma once

#include <windows.h>

#include <vector>

#include "renderer/dib_converter.h"

namespace velmoria {

class GdiBgr24Converter final : public Bgr24Converter {
  public:
    GdiBgr24Converter() = default;
    GdiBgr24Converter(const GdiBgr24Converter&) = delete;
    GdiBgr24Converter& operator=(const GdiBgr24Converter&) = delete;
    ~GdiBgr24Converter() override;

    DibStatus Convert(const DibDescription& source, const uint8_t** rows) override;

  private:
    HDC dc_ = nullptr;
    HBITMAP section_ = nullptr;
};

}  // namespace velmoria
