// Encodings, the narrow read's cut, and the writer's choices.
#include "shell/profile_file.h"

namespace velmoria {

namespace {

constexpr size_t kNarrowBuffer = 256;

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

// A character's length in the narrow buffer: its code page 932 bytes (1 for one without a form,
// which the platform replaces).
size_t Cp932Length(char16_t c, TextCodec& codec) {
    if (c < 0x80) {
        return 1;
    }
    std::string bytes;
    if (!codec.Utf16ToCp932(std::u16string_view(&c, 1), bytes) || bytes.empty()) {
        return 1;
    }
    return bytes.size();
}

}  // namespace

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
    const std::u16string value = ProfileText::Parse(file.text).Get(sectionW, keyW, kNarrowBuffer);
    // The value as the narrow call gives it: whole characters within 255 bytes of code page 932.
    size_t bytes = 0;
    size_t keep = 0;
    while (keep < value.size() && bytes + Cp932Length(value[keep], codec) <= kNarrowBuffer - 1) {
        bytes += Cp932Length(value[keep], codec);
        ++keep;
    }
    return codec.Utf16ToUtf8(std::u16string_view(value).substr(0, keep));
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
    std::string unused;
    // A name or value the file's code page cannot hold is refused; the file stays as it was.
    if (file.encoding == ProfileEncoding::Cp932 &&
        (!codec.Utf16ToCp932(sectionW, unused) || !codec.Utf16ToCp932(keyW, unused) ||
         !codec.Utf16ToCp932(valueW, unused))) {
        return update;
    }
    if (!profile.Set(sectionW, keyW, valueW)) {
        update.outcome = ProfileUpdate::Outcome::Unchanged;
        return update;
    }
    if (Encode(profile.Serialize(), file.encoding, codec, update.bytes)) {
        update.outcome = ProfileUpdate::Outcome::Rewrite;
    }
    return update;
}

}  // namespace velmoria
