// The number readings the shell needs: the preview handle from the command line and the two
// integer settings from the INI file.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmoria {

// How a preview handle may be written: Windows passes decimal window handles; X window ids
// also come in hex with "0x", as xscreensaver writes them.
enum class HandleSyntax { Decimal, DecimalOrHex };

#ifdef _WIN32
constexpr HandleSyntax kPlatformHandleSyntax = HandleSyntax::Decimal;
#else
constexpr HandleSyntax kPlatformHandleSyntax = HandleSyntax::DecimalOrHex;
#endif

// The numeric value of the text's leading number: blanks skipped, reading stops at the first
// character that cannot continue a number; no number gives 0.
double LeadingNumber(std::string_view text);

// The preview handle: LeadingNumber (or 0x hex) rounded to the nearest 32-bit integer, ties to
// even. Empty when the value does not fit in 32 bits.
std::optional<int32_t> ParseHandle(std::string_view text,
                                   HandleSyntax syntax = kPlatformHandleSyntax);

// The value of a text that is one decimal number as a whole (blanks around it allowed); empty
// for anything else.
std::optional<double> WholeTextNumber(std::string_view text);

// A settings integer: the whole text (blanks around it allowed) must be a decimal number; its
// value rounded down must fit in 16 bits. Empty otherwise.
std::optional<int16_t> ParseSettingInteger(std::string_view text);

}  // namespace velmoria
