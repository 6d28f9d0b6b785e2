// libFuzzer target: any bytes as a code page 932 settings file, through the profile reader and
// writer. A key written into a fuzzed file must read back as written, and its saved text must be
// code page 932 again. (Re-reading the saved text need not give the same sections: a section
// whose name is empty, or cut at a NUL, is saved without a header, as the platform does.)
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "shell/posix/text_codec_iconv.h"
#include "shell/settings/profile_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static velmoria::TextCodecIconv codec;
    const std::u16string text =
        codec.Cp932ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    velmoria::ProfileText profile = velmoria::ProfileText::Parse(text);
    for (const char16_t* key : {u"BGM区分", u"BGMﾘﾋﾟｰﾄ", u"BGMﾌｧｲﾙ", u""}) {
        if (profile.Get(u"Section", key, 256).size() > 255) {
            std::abort();
        }
    }
    profile.Set(u"Section", u"BGMﾌｧｲﾙ", u"C:\\音楽\\theme.mp3");
    if (profile.Get(u"Section", u"BGMﾌｧｲﾙ", 256) != u"C:\\音楽\\theme.mp3") {
        std::abort();
    }
    std::string bytes;
    // Whatever was read can be saved: every character read has a code page 932 form.
    if (!codec.Utf16ToCp932(profile.Serialize(), bytes)) {
        std::abort();
    }
    velmoria::ProfileText::Parse(codec.Cp932ToUtf16(bytes)).Get(u"Section", u"k", 256);
    return 0;
}
