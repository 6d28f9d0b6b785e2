// Text conversions of the Linux profile functions, with iconv: code page 932 and UTF-8 to and
// from UTF-16. Code page 932 is read as the platform reads it: a lead byte always takes the
// next byte with it, a bad pair becomes "・" (U+30FB), and the bytes 80, A0, FD, FE and FF
// stand for U+0080 and U+F8F0 to U+F8F3.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace velmoria {

// Never fails.
std::u16string Cp932ToUtf16(std::string_view bytes);
// False when a character has no code page 932 form.
bool Utf16ToCp932(std::u16string_view text, std::string& bytes);
// The code page 932 length of one character: 1 or 2, and 1 for what has no form (its stand-in).
size_t Cp932Length(char16_t c);

// False on a byte sequence that is not UTF-8.
bool Utf8ToUtf16(std::string_view bytes, std::u16string& text);
// Lone surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace velmoria
