// The gradient button's stored property set and the small text form the dialog carries it in.
//
// One entry per line, "Key = value", in the order written; blank lines are skipped:
//
//     Enabled = 0                                         boolean: -1 (true) or 0
//     Caption = "設定"                                    string: "" inside stands for "
//     FirstRun = 0                                        8-bit unsigned: 0-255
//     Font = "ＭＳ Ｐゴシック", 9.75, 400, 0, 0, 0, 128   name, points, weight, italic,
//                                                         underline, strikeout, character set
//     FontColour = &H000000FF&                            32-bit colour: &H hex & (or decimal)
//     Visible = 0                                         16-bit integer: -32768-32767
//
// Text is UTF-8. A string may span lines. A line that does not parse is skipped, as is a value
// of the wrong type for its key, so that entry reads as its default.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velmoria {

// A font object: what the label draws its caption in.
struct ButtonFont {
    std::string name;
    double points = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeout = false;
    int charset = 0;

    bool operator==(const ButtonFont& o) const {
        return name == o.name && points == o.points && weight == o.weight && italic == o.italic &&
               underline == o.underline && strikeout == o.strikeout && charset == o.charset;
    }
    bool operator!=(const ButtonFont& o) const { return !(*this == o); }
};

// The settings dialog's own font, which a button takes unless it stores another.
ButtonFont DialogFont();

class ButtonPropertySet {
  public:
    // Parses the text form; lines that do not parse are skipped.
    static ButtonPropertySet Parse(std::string_view text);
    // The text form, one line per entry in the order they were written.
    std::string Format() const;

    bool empty() const { return entries_.empty(); }
    bool Has(std::string_view key) const;

    // Readers: the entry's value, or nothing when it is missing or not of the type.
    std::optional<bool> ReadBoolean(std::string_view key) const;
    std::optional<std::string> ReadString(std::string_view key) const;
    std::optional<uint8_t> ReadByte(std::string_view key) const;
    std::optional<ButtonFont> ReadFont(std::string_view key) const;
    std::optional<uint32_t> ReadColour(std::string_view key) const;
    std::optional<int16_t> ReadInteger(std::string_view key) const;

    // Writers: a later write of a key replaces the earlier one in place.
    void WriteBoolean(std::string_view key, bool value);
    void WriteString(std::string_view key, std::string_view value);
    void WriteByte(std::string_view key, uint8_t value);
    void WriteFont(std::string_view key, const ButtonFont& value);
    void WriteColour(std::string_view key, uint32_t value);
    void WriteInteger(std::string_view key, int16_t value);

    // The keys in their order, for tests of the writing order.
    std::vector<std::string> Keys() const;

  private:
    const std::string* Raw(std::string_view key) const;
    void Put(std::string_view key, std::string value);

    // Key and its value's text as written in the text form.
    std::vector<std::pair<std::string, std::string>> entries_;
};

}  // namespace velmoria
