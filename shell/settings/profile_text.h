// The profile (INI) file semantics of GetPrivateProfileStringW and WritePrivateProfileStringW,
// over text already decoded to UTF-16: the Linux stand-in for the Win32 profile functions. It
// follows the functions as Wine has them, which the differential test runs beside it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velmoria {

class ProfileText {
  public:
    // Reads the decoded text of a file. Lines end at CR or LF; blank lines are dropped; a line
    // opening with "[" and holding a "]" starts a section; every other line is a key.
    static ProfileText Parse(std::u16string_view text);

    // The file text as the writer saves it: "[name]" and "key=value" lines ended by CR LF.
    std::u16string Serialize() const;

    // What GetPrivateProfileStringW with an empty default leaves in a buffer of `bufferSize`
    // characters: the first matching section's first matching key, one pair of enclosing
    // quotes stripped, cut to fit. Missing section, key or value: empty.
    std::u16string Get(std::u16string_view section, std::u16string_view key,
                       size_t bufferSize) const;

    // Sets a key, creating the section at the end and the key at the end of its section when
    // missing; leading blanks of the value are dropped. False when nothing had to change.
    bool Set(std::u16string_view section, std::u16string_view key, std::u16string_view value);

  private:
    struct Key {
        std::u16string name;
        std::optional<std::u16string> value;  // none: a line without "="
    };
    struct Section {
        std::u16string name;  // the first section, before any header, has the empty name
        std::vector<Key> keys;
    };

    std::vector<Section> sections_;
};

// The blanks the profile functions trim: TAB, LF, VT, FF, CR, SUB (DOS end of file), space.
bool IsProfileBlank(char16_t c);

}  // namespace velmoria
