// The settings file's text conversions on Linux, with iconv.
#pragma once

#include "shell/settings/text_codec.h"

namespace velmoria {

class TextCodecIconv final : public TextCodec {
  public:
    std::u16string Cp932ToUtf16(std::string_view bytes) override;
    bool Utf16ToCp932(std::u16string_view text, std::string& bytes) override;
    bool Utf8ToUtf16(std::string_view bytes, std::u16string& text) override;
    std::string Utf16ToUtf8(std::u16string_view text) override;
};

}  // namespace velmoria
