// The profile functions' rules for a whole file, between its bytes and the program's text (UTF-8
// on Linux): which encoding a file is in (code page 932, or the encoding of its byte-order
// mark), what a read gives through the narrow call's 256-byte buffer, and what a write saves:
// code page 932 as Windows writes it, or UTF-8 with a byte-order mark once the text holds a
// character code page 932 cannot give back exactly.
// The Linux profile functions are these rules plus reading and replacing the file
// (posix/profile_file_posix.cpp); the tests run them on both platforms.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "shell/settings/profile_text.h"
#include "shell/settings/text_codec.h"

namespace velmoria {

enum class ProfileEncoding { Cp932, Utf8, Utf16Le, Utf16Be };

struct ProfileFileText {
    ProfileEncoding encoding = ProfileEncoding::Cp932;
    std::u16string text;
};

// Reads a file's bytes: a byte-order mark names the encoding, anything else is code page 932.
ProfileFileText DecodeProfileFile(std::string_view bytes, TextCodec& codec);

// The longest value a read gives back whole (the narrow call's 256-byte buffer).
constexpr size_t kLongestNarrowValue = 255;

// The start of `text` a narrow read keeps: whole characters within `limit` bytes, a character
// taking its code page 932 bytes when code page 932 gives it back as itself, else its UTF-8
// bytes (¥, 〜, — and − have a form, but it reads back as another character). The reader cuts
// with it and the settings dialog measures picked paths with it, so both count alike.
struct NarrowPart {
    size_t units = 0;  // UTF-16 units kept
    size_t bytes = 0;  // what they take
};
NarrowPart NarrowPrefix(std::u16string_view text, size_t limit, TextCodec& codec);

// The value GetPrivateProfileStringA gives with an empty default and a 256-byte buffer: its
// NarrowPrefix within kLongestNarrowValue bytes; empty for a missing section or key (or text
// that is not UTF-8).
std::string ReadProfileValue(std::string_view fileBytes, std::string_view section,
                             std::string_view key, TextCodec& codec);

struct ProfileUpdate {
    enum class Outcome {
        Refused,    // names or value not UTF-8: the file stays as it is; the write fails
        Unchanged,  // the key holds that value already; nothing to write, the write succeeds
        Rewrite,    // save `bytes` in place of the file
    };
    Outcome outcome = Outcome::Refused;
    std::string bytes;
};

// WritePrivateProfileStringA on a file whose bytes are `fileBytes` (null for a missing file).
ProfileUpdate UpdateProfileFile(const std::string* fileBytes, std::string_view section,
                                std::string_view key, std::string_view value, TextCodec& codec);

}  // namespace velmoria
