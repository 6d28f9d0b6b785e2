#include "shell/controls/button_properties.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace velmoria {

ButtonFont DialogFont() {
    return ButtonFont{"ＭＳ Ｐゴシック", 9.75, 400, false, false, false, 128};
}

namespace {

bool IsKeyChar(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (IsBlank(text.back()) || text.back() == '\r')) {
        text.remove_suffix(1);
    }
    return text;
}

template <typename Integer>
std::optional<Integer> ParseInteger(std::string_view text, int64_t low, int64_t high) {
    text = Trim(text);
    int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || value < low || value > high) {
        return std::nullopt;
    }
    return static_cast<Integer>(value);
}

std::optional<bool> ParseBoolean(std::string_view text) {
    const auto value = ParseInteger<int64_t>(text, -32768, 32767);
    if (!value) {
        return std::nullopt;
    }
    return *value != 0;
}

// A quoted string: "..." with "" standing for one quote; `rest` gets what follows it.
std::optional<std::string> ParseQuoted(std::string_view text, std::string_view* rest) {
    text = Trim(text);
    if (text.empty() || text.front() != '"') {
        return std::nullopt;
    }
    std::string value;
    size_t i = 1;
    for (;;) {
        if (i >= text.size()) {
            return std::nullopt;
        }
        if (text[i] == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                value.push_back('"');
                i += 2;
                continue;
            }
            break;
        }
        value.push_back(text[i++]);
    }
    *rest = text.substr(i + 1);
    return value;
}

std::string Quote(std::string_view value) {
    std::string quoted = "\"";
    for (const char c : value) {
        quoted.push_back(c);
        if (c == '"') {
            quoted.push_back('"');
        }
    }
    quoted.push_back('"');
    return quoted;
}

std::string FormatNumber(double value) {
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::optional<double> ParseNumber(std::string_view text) {
    text = Trim(text);
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

// Splits at commas; the text holds no quotes any more.
std::vector<std::string_view> SplitFields(std::string_view text) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = text.find(',', start);
        fields.push_back(
            text.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos) {
            return fields;
        }
        start = comma + 1;
    }
}

}  // namespace

ButtonPropertySet ButtonPropertySet::Parse(std::string_view text) {
    ButtonPropertySet set;
    size_t i = 0;
    while (i < text.size()) {
        // One entry: the key, "=", and the value up to the end of its line (a quoted string may
        // run over lines).
        while (i < text.size() && (IsBlank(text[i]) || text[i] == '\r')) {
            ++i;
        }
        const size_t lineStart = i;
        while (i < text.size() && IsKeyChar(text[i])) {
            ++i;
        }
        const std::string_view key = text.substr(lineStart, i - lineStart);
        while (i < text.size() && IsBlank(text[i])) {
            ++i;
        }
        const bool hasEquals = i < text.size() && text[i] == '=';
        if (hasEquals) {
            ++i;
        }
        const size_t valueStart = i;
        bool quoted = false;
        while (i < text.size() && (quoted || text[i] != '\n')) {
            if (text[i] == '"') {
                quoted = !quoted;
            }
            ++i;
        }
        const std::string_view value = Trim(text.substr(valueStart, i - valueStart));
        if (!key.empty() && hasEquals && !quoted && !value.empty()) {
            set.Put(key, std::string(value));
        }
        if (i < text.size()) {
            ++i;  // the line's end
        }
    }
    return set;
}

std::string ButtonPropertySet::Format() const {
    std::string text;
    for (const auto& [key, value] : entries_) {
        text += key;
        text += " = ";
        text += value;
        text += '\n';
    }
    return text;
}

bool ButtonPropertySet::Has(std::string_view key) const {
    return Raw(key) != nullptr;
}

const std::string* ButtonPropertySet::Raw(std::string_view key) const {
    for (const auto& entry : entries_) {
        if (entry.first == key) {
            return &entry.second;
        }
    }
    return nullptr;
}

void ButtonPropertySet::Put(std::string_view key, std::string value) {
    for (auto& entry : entries_) {
        if (entry.first == key) {
            entry.second = std::move(value);
            return;
        }
    }
    entries_.emplace_back(std::string(key), std::move(value));
}

std::vector<std::string> ButtonPropertySet::Keys() const {
    std::vector<std::string> keys;
    for (const auto& entry : entries_) {
        keys.push_back(entry.first);
    }
    return keys;
}

std::optional<bool> ButtonPropertySet::ReadBoolean(std::string_view key) const {
    const std::string* raw = Raw(key);
    return raw ? ParseBoolean(*raw) : std::nullopt;
}

std::optional<std::string> ButtonPropertySet::ReadString(std::string_view key) const {
    const std::string* raw = Raw(key);
    if (!raw) {
        return std::nullopt;
    }
    std::string_view rest;
    std::optional<std::string> value = ParseQuoted(*raw, &rest);
    if (!value || !Trim(rest).empty()) {
        return std::nullopt;
    }
    return value;
}

std::optional<uint8_t> ButtonPropertySet::ReadByte(std::string_view key) const {
    const std::string* raw = Raw(key);
    return raw ? ParseInteger<uint8_t>(*raw, 0, 255) : std::nullopt;
}

std::optional<int16_t> ButtonPropertySet::ReadInteger(std::string_view key) const {
    const std::string* raw = Raw(key);
    return raw ? ParseInteger<int16_t>(*raw, -32768, 32767) : std::nullopt;
}

std::optional<uint32_t> ButtonPropertySet::ReadColour(std::string_view key) const {
    const std::string* raw = Raw(key);
    if (!raw) {
        return std::nullopt;
    }
    std::string_view text = Trim(*raw);
    if (text.size() >= 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
        text.remove_prefix(2);
        if (!text.empty() && text.back() == '&') {
            text.remove_suffix(1);
        }
        if (text.empty() || text.size() > 8) {
            return std::nullopt;
        }
        uint32_t value = 0;
        const char* end = text.data() + text.size();
        const auto [ptr, ec] = std::from_chars(text.data(), end, value, 16);
        if (ec != std::errc() || ptr != end) {
            return std::nullopt;
        }
        return value;
    }
    return ParseInteger<uint32_t>(text, 0, std::numeric_limits<uint32_t>::max());
}

std::optional<ButtonFont> ButtonPropertySet::ReadFont(std::string_view key) const {
    const std::string* raw = Raw(key);
    if (!raw) {
        return std::nullopt;
    }
    std::string_view rest;
    std::optional<std::string> name = ParseQuoted(*raw, &rest);
    rest = Trim(rest);
    if (!name || rest.empty() || rest.front() != ',') {
        return std::nullopt;
    }
    const std::vector<std::string_view> fields = SplitFields(rest.substr(1));
    if (fields.size() != 6) {
        return std::nullopt;
    }
    const std::optional<double> points = ParseNumber(fields[0]);
    const auto weight = ParseInteger<int>(fields[1], 0, 1000);
    const std::optional<bool> italic = ParseBoolean(fields[2]);
    const std::optional<bool> underline = ParseBoolean(fields[3]);
    const std::optional<bool> strikeout = ParseBoolean(fields[4]);
    const auto charset = ParseInteger<int>(fields[5], 0, 255);
    if (!points || *points <= 0 || *points > 1638 || !weight || !italic || !underline ||
        !strikeout || !charset) {
        return std::nullopt;
    }
    return ButtonFont{*name, *points, *weight, *italic, *underline, *strikeout, *charset};
}

void ButtonPropertySet::WriteBoolean(std::string_view key, bool value) {
    Put(key, value ? "-1" : "0");
}

void ButtonPropertySet::WriteString(std::string_view key, std::string_view value) {
    Put(key, Quote(value));
}

void ButtonPropertySet::WriteByte(std::string_view key, uint8_t value) {
    Put(key, std::to_string(value));
}

void ButtonPropertySet::WriteInteger(std::string_view key, int16_t value) {
    Put(key, std::to_string(value));
}

void ButtonPropertySet::WriteColour(std::string_view key, uint32_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text = "&H";
    for (int shift = 28; shift >= 0; shift -= 4) {
        text.push_back(kDigits[(value >> shift) & 0xF]);
    }
    text.push_back('&');
    Put(key, text);
}

void ButtonPropertySet::WriteFont(std::string_view key, const ButtonFont& font) {
    Put(key, Quote(font.name) + ", " + FormatNumber(font.points) + ", " +
                 std::to_string(font.weight) + ", " + (font.italic ? "-1" : "0") + ", " +
                 (font.underline ? "-1" : "0") + ", " + (font.strikeout ? "-1" : "0") + ", " +
                 std::to_string(font.charset));
}

}  // namespace velmoria
