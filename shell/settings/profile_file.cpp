// Encodings, the narrow read's cut, and the writer's choices.
#include "shell/settings/profile_file.h"

namespace velmoria {

namespace {

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<uint8_t>(bytes[i]);
        const auto b = static_cast<uint8_t>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? (a << 8) | b : a | (b << 8));
    }
    return text;
}

std::string ToUtf16(std::u16string_view text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t c : text) {
        const char hi = static_cast<char>(c >> 8);
        const char lo = static_cast<char>(c & 0xFF);
        bytes += bigEndian ? hi : lo;
        bytes += bigEndian ? lo : hi;
    }
    return bytes;
}

bool Encode(std::u16string_view text, ProfileEncoding encoding, TextCodec& codec,
            std::string& bytes) {
    switch (encoding) {
        case ProfileEncoding::Cp932:
            return codec.Utf16ToCp932(text, bytes);
        case ProfileEncoding::Utf8:
            bytes = "\xEF\xBB\xBF" + codec.Utf16ToUtf8(text);
            return true;
        case ProfileEncoding::Utf16Le:
        case ProfileEncoding::Utf16Be:
            bytes = ToUtf16(text, encoding == ProfileEncoding::Utf16Be);
            return true;
    }
    return false;
}

// True when code page 932 holds the text and gives back exactly the same characters (〜, — and
// − have a form, but it reads back as other characters).
bool RoundTripsThroughCp932(std::u16string_view text, TextCodec& codec) {
    std::string bytes;
    return codec.Utf16ToCp932(text, bytes) && codec.Cp932ToUtf16(bytes) == text;
}

bool IsHighSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(char16_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

// The UTF-16 units of the character starting at `at` (a surrogate pair is one character).
size_t CharacterUnits(std::u16string_view text, size_t at) {
    return IsHighSurrogate(text[at]) && at + 1 < text.size() && IsLowSurrogate(text[at + 1]) ? 2
                                                                                             : 1;
}

// A character's bytes in the narrow text: its code page 932 bytes when they give it back (as on
// Windows), else its UTF-8 bytes (what the Linux program's text takes, and the file then holds).
size_t NarrowLength(std::u16string_view character, TextCodec& codec) {
    if (character.size() == 1 && character[0] < 0x80) {
        return 1;
    }
    std::string bytes;
    if (codec.Utf16ToCp932(character, bytes) && codec.Cp932ToUtf16(bytes) == character) {
        return bytes.size();
    }
    return codec.Utf16ToUtf8(character).size();
}

}  // namespace

NarrowPart NarrowPrefix(std::u16string_view text, size_t limit, TextCodec& codec) {
    NarrowPart part;
    while (part.units < text.size()) {
        const size_t units = CharacterUnits(text, part.units);
        const size_t length = NarrowLength(text.substr(part.units, units), codec);
        if (part.bytes + length > limit) {
            break;
        }
        part.bytes += length;
        part.units += units;
    }
    return part;
}

ProfileFileText DecodeProfileFile(std::string_view bytes, TextCodec& codec) {
    ProfileFileText file;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        file.encoding = ProfileEncoding::Utf8;
        std::u16string text;
        // Broken UTF-8 is read as code page 932 rather than as nothing.
        file.text =
            codec.Utf8ToUtf16(bytes.substr(3), text) ? text : codec.Cp932ToUtf16(bytes.substr(3));
    } else if (bytes.substr(0, 2) == "\xFF\xFE") {
        file.encoding = ProfileEncoding::Utf16Le;
        file.text = FromUtf16(bytes.substr(2), false);
    } else if (bytes.substr(0, 2) == "\xFE\xFF") {
        file.encoding = ProfileEncoding::Utf16Be;
        file.text = FromUtf16(bytes.substr(2), true);
    } else {
        file.text = codec.Cp932ToUtf16(bytes);
    }
    return file;
}

std::string ReadProfileValue(std::string_view fileBytes, std::string_view section,
                             std::string_view key, TextCodec& codec) {
    std::u16string sectionW;
    std::u16string keyW;
    if (!codec.Utf8ToUtf16(section, sectionW) || !codec.Utf8ToUtf16(key, keyW)) {
        return {};
    }
    const ProfileFileText file = DecodeProfileFile(fileBytes, codec);
    const std::u16string value =
        ProfileText::Parse(file.text).Get(sectionW, keyW, kLongestNarrowValue + 1);
    const NarrowPart kept = NarrowPrefix(value, kLongestNarrowValue, codec);
    return codec.Utf16ToUtf8(std::u16string_view(value).substr(0, kept.units));
}

ProfileUpdate UpdateProfileFile(const std::string* fileBytes, std::string_view section,
                                std::string_view key, std::string_view value, TextCodec& codec) {
    ProfileUpdate update;
    std::u16string sectionW;
    std::u16string keyW;
    std::u16string valueW;
    if (!codec.Utf8ToUtf16(section, sectionW) || !codec.Utf8ToUtf16(key, keyW) ||
        !codec.Utf8ToUtf16(value, valueW)) {
        return update;
    }
    const ProfileFileText file =
        fileBytes != nullptr ? DecodeProfileFile(*fileBytes, codec) : ProfileFileText{};
    ProfileText profile = ProfileText::Parse(file.text);
    if (!profile.Set(sectionW, keyW, valueW)) {
        update.outcome = ProfileUpdate::Outcome::Unchanged;
        return update;
    }
    const std::u16string saved = profile.Serialize();
    // Code page 932 keeps files byte for byte as Windows writes them; a text it cannot hold
    // exactly makes the whole file UTF-8 with a byte-order mark, so that no setting is lost.
    ProfileEncoding encoding = file.encoding;
    if (encoding == ProfileEncoding::Cp932 && !RoundTripsThroughCp932(saved, codec)) {
        encoding = ProfileEncoding::Utf8;
    }
    if (Encode(saved, encoding, codec, update.bytes)) {
        update.outcome = ProfileUpdate::Outcome::Rewrite;
    }
    return update;
}

}  // namespace velmoria
