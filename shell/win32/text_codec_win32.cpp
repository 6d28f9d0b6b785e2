// MultiByteToWideChar and WideCharToMultiByte with code page 932 and UTF-8.
#include "shell/win32/text_codec_win32.h"

#include <windows.h>

namespace velmoria {

namespace {

constexpr UINT kCodePage932 = 932;

std::u16string Widen(UINT codePage, DWORD flags, std::string_view bytes, bool& ok) {
    ok = true;
    if (bytes.empty()) {
        return {};
    }
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(codePage, flags, bytes.data(), size, nullptr, 0);
    if (length <= 0) {
        ok = false;
        return {};
    }
    std::u16string text(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(codePage, flags, bytes.data(), size, reinterpret_cast<wchar_t*>(&text[0]),
                        length);
    return text;
}

}  // namespace

std::u16string TextCodecWin32::Cp932ToUtf16(std::string_view bytes) {
    bool ok = true;
    return Widen(kCodePage932, 0, bytes, ok);
}

bool TextCodecWin32::Utf16ToCp932(std::u16string_view text, std::string& bytes) {
    bytes.clear();
    if (text.empty()) {
        return true;
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide, size, nullptr,
                                           0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) {
        return false;
    }
    bytes.resize(static_cast<size_t>(length));
    WideCharToMultiByte(kCodePage932, WC_NO_BEST_FIT_CHARS, wide, size, &bytes[0], length, nullptr,
                        nullptr);
    return true;
}

bool TextCodecWin32::Utf8ToUtf16(std::string_view bytes, std::u16string& text) {
    bool ok = true;
    std::u16string converted = Widen(CP_UTF8, MB_ERR_INVALID_CHARS, bytes, ok);
    if (ok) {
        text = std::move(converted);
    }
    return ok;
}

std::string TextCodecWin32::Utf16ToUtf8(std::u16string_view text) {
    if (text.empty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, size, nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) {
        WideCharToMultiByte(CP_UTF8, 0, wide, size, &bytes[0], length, nullptr, nullptr);
    }
    return bytes;
}

}  // namespace velmoria
