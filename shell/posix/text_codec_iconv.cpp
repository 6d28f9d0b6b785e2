// iconv conversions, one character at a time where a failure must be told apart.
#include "shell/posix/text_codec_iconv.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>

namespace velmoria {

namespace {

constexpr const char* kUtf16 = "UTF-16LE";

// One conversion descriptor per direction, made on first use.
class Converter {
  public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) {
            iconv_close(cd_);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole input; on failure `consumed` says where it stopped.
    bool Run(const char* in, size_t size, std::string& out, size_t& consumed) {
        consumed = 0;
        if (cd_ == reinterpret_cast<iconv_t>(-1)) {
            return false;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        size_t left = size;
        char chunk[1024];
        while (left > 0) {
            char* dst = chunk;
            size_t room = sizeof(chunk);
            const size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(chunk, static_cast<size_t>(dst - chunk));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                consumed = size - left;
                return false;
            }
        }
        char* dst = chunk;
        size_t room = sizeof(chunk);
        iconv(cd_, nullptr, nullptr, &dst, &room);
        out.append(chunk, static_cast<size_t>(dst - chunk));
        consumed = size;
        return true;
    }

  private:
    iconv_t cd_;
};

Converter& Cp932Decoder() {
    static Converter c(kUtf16, "CP932");
    return c;
}

Converter& Cp932Encoder() {
    static Converter c("CP932", kUtf16);
    return c;
}

// The single bytes that code page 932 gives code points of their own beyond iconv's table.
char16_t SpecialByte(uint8_t b) {
    switch (b) {
        case 0x80:
            return 0x0080;
        case 0xA0:
            return 0xF8F0;
        case 0xFD:
            return 0xF8F1;
        case 0xFE:
            return 0xF8F2;
        case 0xFF:
            return 0xF8F3;
        default:
            return 0;
    }
}

int SpecialChar(char16_t c) {
    for (const uint8_t b : {0x80, 0xA0, 0xFD, 0xFE, 0xFF}) {
        if (SpecialByte(b) == c) {
            return b;
        }
    }
    return -1;
}

constexpr char16_t kDefaultChar = 0x30FB;  // "・", what the platform puts for a bad sequence

bool IsSurrogate(char16_t c) {
    return c >= 0xD800 && c <= 0xDFFF;
}

void AppendUtf16(std::u16string& text, const std::string& le) {
    for (size_t i = 0; i + 1 < le.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<uint8_t>(le[i]) |
                                      (static_cast<uint8_t>(le[i + 1]) << 8));
    }
}

std::string ToLittleEndian(std::u16string_view text) {
    std::string le;
    le.reserve(text.size() * 2);
    for (const char16_t c : text) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
    }
    return le;
}

}  // namespace

std::u16string TextCodecIconv::Cp932ToUtf16(std::string_view bytes) {
    std::u16string text;
    text.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<uint8_t>(bytes[i]);
        if (b < 0x80) {
            text += static_cast<char16_t>(b);
        } else if (b >= 0xA1 && b <= 0xDF) {
            text += static_cast<char16_t>(0xFF61 + (b - 0xA1));  // halfwidth katakana
        } else if (const char16_t special = SpecialByte(b)) {
            text += special;
        } else if (i + 1 >= bytes.size()) {
            text += kDefaultChar;  // a lead byte with nothing after it
        } else {
            // A lead byte takes the next byte with it, whatever it is, as the platform does.
            std::string le;
            size_t consumed = 0;
            const bool ok = Cp932Decoder().Run(bytes.data() + i, 2, le, consumed) && le.size() == 2;
            text += ok ? static_cast<char16_t>(static_cast<uint8_t>(le[0]) |
                                               (static_cast<uint8_t>(le[1]) << 8))
                       : kDefaultChar;
            ++i;
        }
    }
    return text;
}

bool TextCodecIconv::Utf16ToCp932(std::u16string_view text, std::string& bytes) {
    bytes.clear();
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const int special = i < text.size() ? SpecialChar(text[i]) : -1;
        if (i < text.size() && special < 0) {
            continue;
        }
        const std::string le = ToLittleEndian(text.substr(start, i - start));
        size_t consumed = 0;
        if (!Cp932Encoder().Run(le.data(), le.size(), bytes, consumed)) {
            return false;
        }
        if (special >= 0) {
            bytes += static_cast<char>(special);
        }
        start = i + 1;
    }
    return true;
}

bool TextCodecIconv::Utf8ToUtf16(std::string_view bytes, std::u16string& text) {
    static Converter decoder(kUtf16, "UTF-8");
    std::string le;
    size_t consumed = 0;
    if (!decoder.Run(bytes.data(), bytes.size(), le, consumed)) {
        return false;
    }
    text.clear();
    AppendUtf16(text, le);
    return true;
}

std::string TextCodecIconv::Utf16ToUtf8(std::u16string_view text) {
    static Converter encoder("UTF-8", kUtf16);
    std::u16string clean(text);
    for (size_t i = 0; i < clean.size(); ++i) {
        const char16_t c = clean[i];
        const bool pairStart = c >= 0xD800 && c <= 0xDBFF && i + 1 < clean.size() &&
                               clean[i + 1] >= 0xDC00 && clean[i + 1] <= 0xDFFF;
        if (pairStart) {
            ++i;
        } else if (IsSurrogate(c)) {
            clean[i] = 0xFFFD;
        }
    }
    const std::string le = ToLittleEndian(clean);
    std::string out;
    size_t consumed = 0;
    encoder.Run(le.data(), le.size(), out, consumed);
    return out;
}

}  // namespace velmoria
