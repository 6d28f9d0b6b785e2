// What the settings-file rules need of a text converter: code page 932 and UTF-8 to and from
// UTF-16. iconv implements it on Linux (posix/text_codec_iconv.cpp); the platform's own
// conversions on Windows (win32/text_codec_win32.cpp), where the tests run the rules through it.
#pragma once

#include <string>
#include <string_view>

namespace velmoria {

class TextCodec {
  public:
    virtual ~TextCodec() = default;
    // Code page 932 as the platform reads it: a lead byte always takes the next byte with it, a
    // bad pair becomes "・" (U+30FB), and the bytes 80, A0, FD, FE and FF stand for U+0080 and
    // U+F8F0 to U+F8F3. Never fails.
    virtual std::u16string Cp932ToUtf16(std::string_view bytes) = 0;
    // False when a character has no code page 932 form.
    virtual bool Utf16ToCp932(std::u16string_view text, std::string& bytes) = 0;
    // False on a byte sequence that is not UTF-8.
    virtual bool Utf8ToUtf16(std::string_view bytes, std::u16string& text) = 0;
    // Lone surrogates become U+FFFD.
    virtual std::string Utf16ToUtf8(std::u16string_view text) = 0;
};

}  // namespace velmoria
