// Number syntax: [sign] digits [. digits] [E|D [sign] digits], read without the C locale's help.
#include "shell/settings/number_text.h"

#include <charconv>
#include <cmath>
#include <string>

namespace velmoria {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Length of the longest number at the start of `s` (0 when there is none), and its value.
size_t ScanNumber(std::string_view s, double& value) {
    size_t i = 0;
    std::string sign;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        sign = s[i] == '-' ? "-" : "";
        ++i;
    }
    std::string whole;
    while (i < s.size() && IsDigit(s[i])) {
        whole += s[i++];
    }
    std::string fraction;
    if (i < s.size() && s[i] == '.') {
        size_t j = i + 1;
        while (j < s.size() && IsDigit(s[j])) {
            fraction += s[j++];
        }
        if (!whole.empty() || !fraction.empty()) {
            i = j;
        }
    }
    if (whole.empty() && fraction.empty()) {
        value = 0;
        return 0;
    }
    std::string exponent;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E' || s[i] == 'd' || s[i] == 'D')) {
        size_t j = i + 1;
        std::string digits;
        if (j < s.size() && (s[j] == '+' || s[j] == '-')) {
            digits += s[j++];
        }
        const size_t firstDigit = j;
        while (j < s.size() && IsDigit(s[j])) {
            digits += s[j++];
        }
        if (j > firstDigit) {
            exponent = "e" + digits;
            i = j;
        }
    }
    // What std::from_chars reads: sign, digits, '.', 'e'.
    const std::string plain =
        sign + (whole.empty() ? "0" : whole) + (fraction.empty() ? "" : "." + fraction) + exponent;
    value = 0;
    // Too large gives an infinity, which the callers' range checks refuse; too small gives 0.
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        const bool tiny = exponent.compare(0, 2, "e-") == 0;
        value = tiny ? 0.0 : (sign.empty() ? HUGE_VAL : -HUGE_VAL);
    }
    return i;
}

size_t SkipBlanks(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i])) {
        ++i;
    }
    return i;
}

int HexDigit(char c) {
    if (IsDigit(c)) {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace

double LeadingNumber(std::string_view text) {
    double value = 0;
    ScanNumber(text.substr(SkipBlanks(text)), value);
    return value;
}

std::optional<int32_t> ParseHandle(std::string_view text, HandleSyntax syntax) {
    const std::string_view s = text.substr(SkipBlanks(text));
    double value = 0;
    if (syntax == HandleSyntax::DecimalOrHex && s.size() > 2 && s[0] == '0' &&
        (s[1] == 'x' || s[1] == 'X') && HexDigit(s[2]) >= 0) {
        value = 0;
        for (size_t i = 2; i < s.size() && HexDigit(s[i]) >= 0; ++i) {
            value = value * 16 + HexDigit(s[i]);
        }
    } else {
        ScanNumber(s, value);
    }
    const double rounded = std::nearbyint(value);  // the default rounding: ties to even
    if (!(rounded >= -2147483648.0 && rounded <= 2147483647.0)) {
        return std::nullopt;
    }
    return static_cast<int32_t>(rounded);
}

std::optional<double> WholeTextNumber(std::string_view text) {
    std::string_view s = text.substr(SkipBlanks(text));
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    double value = 0;
    if (s.empty() || ScanNumber(s, value) != s.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int16_t> ParseSettingInteger(std::string_view text) {
    const std::optional<double> value = WholeTextNumber(text);
    if (!value) {
        return std::nullopt;
    }
    const double floored = std::floor(*value);
    if (!(floored >= -32768.0 && floored <= 32767.0)) {
        return std::nullopt;
    }
    return static_cast<int16_t>(floored);
}

}  // namespace velmoria
