// The settings record: defaults, the 4-byte rules, and the .reg file reader behind it on Linux.
#include <gtest/gtest.h>

#include <string>

#include "renderer/registry_file.h"
#include "renderer/saver_settings.h"

namespace velmoria {
namespace {

const char* const kHeader = "Windows Registry Editor Version 5.00\r\n\r\n";
const char* const kSaverKey =
    "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Screen Savers]\r\n";
const char* const kRendererKey = "[HKEY_CURRENT_USER\\Software\\Orvek\\Quendal Saver]\r\n";

SaverSettings Read(const std::string& regText) {
    RegistryFile registry = RegistryFile::Parse(regText);
    SaverSettings s;
    ReadSystemSaverValues(s, registry);
    ReadRendererSettings(s, registry);
    return s;
}

void ExpectDefaultSwitches(const SaverSettings& s) {
    EXPECT_EQ(s.rotate, 1u);
    EXPECT_EQ(s.particle1, 1u);
    EXPECT_EQ(s.particle2, 1u);
    EXPECT_EQ(s.particle3, 1u);
    EXPECT_EQ(s.gravity, 1u);
    EXPECT_EQ(s.qualLow, 1u);
    EXPECT_EQ(s.qualMed, 0u);
    EXPECT_EQ(s.qualHi, 0u);
}

TEST(SettingsRecord, NewRecordIsAllZero) {
    const SaverSettings s;
    EXPECT_EQ(s.hwnd, 0u);
    EXPECT_EQ(s.mouseThreshold, 0);
    EXPECT_EQ(s.rotate, 0u);
    EXPECT_EQ(s.startCursor.x, 0);
}

TEST(SettingsRecord, DefaultsWithNeitherKey) {
    for (const std::string text :
         {"", "REGEDIT4\n", "not a registry file\n[HKEY_CURRENT_USER\\x]"}) {
        const SaverSettings s = Read(text);
        EXPECT_EQ(s.passwordDelay, 15);
        EXPECT_EQ(s.mouseThreshold, 50);
        EXPECT_EQ(s.muteSound, 0);
        ExpectDefaultSwitches(s);
    }
}

TEST(SettingsRecord, FourByteRules) {
    const std::string text = std::string(kHeader) + kSaverKey +
                             "\"Mouse Threshold\"=\"50\"\r\n"  // 35 30 00 -> 12341
                             "\"Password Delay\"=dword:00000000\r\n"
                             "\"Mute Sound\"=hex:01,02,03,04,05\r\n"  // five bytes: refused
                             + kRendererKey +
                             "\"Rotate\"=dword:00000002\r\n"
                             "\"Particle1\"=\"0\"\r\n"       // "0" and its NUL read as 48
                             "\"Particle2\"=\"abcd\"\r\n"    // five bytes: default stays
                             "\"Particle3\"=hex:00\r\n"      // one byte fills the low byte
                             "\"QualMed\"=hex(3):ff,ff\r\n"  // the type is ignored
                             "\"QualHi\"=\"\"\r\n"           // just a NUL: zero
                             "\"GRAVITY\"=hex:\r\n";         // no bytes at all: zero
    const SaverSettings s = Read(text);
    EXPECT_EQ(s.mouseThreshold, 12341);
    EXPECT_EQ(s.passwordDelay, 0);
    EXPECT_EQ(s.muteSound, 0);
    EXPECT_EQ(s.rotate, 2u);
    EXPECT_EQ(s.particle1, 48u);
    EXPECT_EQ(s.particle2, 1u);
    EXPECT_EQ(s.particle3, 0u);
    EXPECT_EQ(s.qualMed, 0xFFFFu);
    EXPECT_EQ(s.qualHi, 0u);
    EXPECT_EQ(s.gravity, 0u);
}

TEST(SettingsRecord, ThresholdZeroAndNegative) {
    EXPECT_EQ(
        Read(std::string(kHeader) + kSaverKey + "\"Mouse Threshold\"=dword:0\n").mouseThreshold, 0);
    EXPECT_EQ(Read(std::string(kHeader) + kSaverKey + "\"Mouse Threshold\"=dword:ffffffff\n")
                  .mouseThreshold,
              -1);
}

// A registry whose renderer key opens only a given number of times.
class FlakyRegistry final : public Registry {
  public:
    FlakyRegistry(RegistryFile& inner, int opens) : inner_(inner), opens_(opens) {}
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(const char* path) override {
        if (std::string(path).find("Orvek") != std::string::npos && opens_-- <= 0) {
            return nullptr;
        }
        return inner_.OpenCurrentUserKey(path);
    }

  private:
    RegistryFile& inner_;
    int opens_;
};

TEST(SettingsRecord, KeyOpenedAnewForEachSwitchAndReadingStopsAtTheFirstFailure) {
    RegistryFile file = RegistryFile::Parse(std::string(kHeader) + kRendererKey +
                                            "\"Rotate\"=dword:7\n\"Particle1\"=dword:7\n"
                                            "\"Particle2\"=dword:7\n\"QualHi\"=dword:7\n");
    FlakyRegistry registry(file, 2);
    SaverSettings s;
    ReadRendererSettings(s, registry);
    EXPECT_EQ(s.rotate, 7u);
    EXPECT_EQ(s.particle1, 7u);
    EXPECT_EQ(s.particle2, 1u);  // the third open failed: default from here on
    EXPECT_EQ(s.qualHi, 0u);
}

// The frame limit beside the switches: 60 without it, any DWORD as it stands (0 for none).
TEST(SettingsRecord, FrameLimit) {
    struct Case {
        const char* name;
        std::string reg;
        uint32_t limit;
    };
    const Case cases[] = {
        {"no renderer key", "", 60},
        {"the key without it", kRendererKey, 60},
        {"off", std::string(kRendererKey) + "\"FrameLimit\"=dword:00000000\r\n", 0},
        {"144", std::string(kRendererKey) + "\"FrameLimit\"=dword:00000090\r\n", 144},
        {"too long a value is no value",
         std::string(kRendererKey) + "\"FrameLimit\"=hex:01,02,03,04,05\r\n", 60},
    };
    for (const Case& c : cases) {
        RegistryFile registry = RegistryFile::Parse(kHeader + c.reg);
        SaverSettings s;
        ReadFrameLimit(s, registry);
        EXPECT_EQ(s.frameLimit, c.limit) << c.name;
    }
}

TEST(RegistryFileReader, KeyPathsAndNamesAreCaseInsensitive) {
    RegistryFile f = RegistryFile::Parse(
        "REGEDIT4\n[hkey_current_user\\SOFTWARE\\orvek\\QUENDAL SAVER]\n\"rotate\"=dword:3\n");
    ASSERT_NE(f.Find("Software\\Orvek\\Quendal Saver", "Rotate"), nullptr);
    EXPECT_NE(f.OpenCurrentUserKey("Software\\Orvek"), nullptr);  // ancestors exist
    EXPECT_EQ(f.OpenCurrentUserKey("Software\\Other"), nullptr);
}

TEST(RegistryFileReader, MalformedLinesAreSkipped) {
    RegistryFile f = RegistryFile::Parse(std::string(kHeader) + kRendererKey +
                                         "\"Rotate\"=dword:xyz\n"
                                         "\"Particle1\"=dword:123456789\n"
                                         "\"Particle2\"=hex:1,zz\n"
                                         "\"Particle3\"=\"unterminated\n"
                                         "garbage line\n"
                                         "\"QualLow\" dword:1\n"
                                         "\"GRAVITY\"=dword:00000009\n"
                                         "[HKEY_CURRENT_USER\\broken\n"
                                         "\"QualHi\"=dword:00000001\n");
    const char* key = "Software\\Orvek\\Quendal Saver";
    // Values after a broken section line belong to no key.
    for (const char* name :
         {"Rotate", "Particle1", "Particle2", "Particle3", "QualLow", "QualHi"}) {
        EXPECT_EQ(f.Find(key, name), nullptr) << name;
    }
    ASSERT_NE(f.Find(key, "GRAVITY"), nullptr);
    EXPECT_EQ(*f.Find(key, "GRAVITY"), (std::vector<uint8_t>{9, 0, 0, 0}));
}

TEST(RegistryFileReader, StringsEscapesContinuationsDeletionsAndOtherHives) {
    RegistryFile f = RegistryFile::Parse(
        "REGEDIT4\n"
        "[HKEY_CURRENT_USER\\K]\n"
        "\"Path\"=\"C:\\\\q\\\"x\"\n"
        "\"Long\"=hex:01,02,\\\n"
        "  03,04\n"
        "\"Gone\"=dword:1\n"
        "\"Gone\"=-\n"
        "@=\"default\"\n"
        "[HKEY_LOCAL_MACHINE\\K]\n"
        "\"Other\"=dword:1\n"
        "[HKEY_CURRENT_USER\\Removed\\Sub]\n"
        "\"A\"=dword:1\n"
        "[-HKEY_CURRENT_USER\\Removed]\n");
    const std::string path = "C:\\q\"x";
    std::vector<uint8_t> expected(path.begin(), path.end());
    expected.push_back(0);
    ASSERT_NE(f.Find("K", "Path"), nullptr);
    EXPECT_EQ(*f.Find("K", "Path"), expected);
    ASSERT_NE(f.Find("K", "Long"), nullptr);
    EXPECT_EQ(*f.Find("K", "Long"), (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(f.Find("K", "Gone"), nullptr);
    EXPECT_NE(f.Find("K", ""), nullptr);
    EXPECT_EQ(f.Find("K", "Other"), nullptr);
    EXPECT_EQ(f.OpenCurrentUserKey("Removed\\Sub"), nullptr);
}

TEST(RegistryFileReader, Utf16FileAsRegeditWritesIt) {
    const std::string text =
        std::string(kHeader) + kSaverKey + "\"Mouse Threshold\"=dword:00000007\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char c : text) {
        utf16 += c;
        utf16 += '\0';
    }
    EXPECT_EQ(Read(utf16).mouseThreshold, 7);
}

// String types written as hex: in version 5 files their bytes are UTF-16, which
// RegQueryValueExA hands back in the narrow code page (UTF-8 for the Linux programs); in REGEDIT4
// files they are narrow already.
TEST(RegistryFileReader, HexStringsComeBackNarrow) {
    struct Case {
        const char* header;
        const char* data;
        std::vector<uint8_t> bytes;
    };
    const char* const v5 = "Windows Registry Editor Version 5.00\r\n";
    const char* const v4 = "REGEDIT4\r\n";
    const Case cases[] = {
        {v5, "hex(1):35,00,30,00,00,00", {'5', '0', 0}},
        {v5, "hex(2):35,00,30,00,00,00", {'5', '0', 0}},
        {v5, "hex(7):35,00,00,00,00,00", {'5', 0, 0}},
        {v5, "hex(2):e9,00,00,00", {0xC3, 0xA9, 0}},                    // é
        {v5, "hex(2):3c,d8,b5,df,00,00", {0xF0, 0x9F, 0x8E, 0xB5, 0}},  // a surrogate pair
        {v5, "hex(1):35,00,30", {'5'}},                                 // an odd byte left over
        {v5, "hex(3):35,00,30,00", {'5', 0, '0', 0}},                   // binary stays as it is
        {v5, "hex(4):35,00,30,00", {'5', 0, '0', 0}},
        {v4, "hex(2):35,30,00", {'5', '0', 0}},
        {v4, "hex(7):35,00,00", {'5', 0, 0}},
    };
    for (const Case& c : cases) {
        RegistryFile f = RegistryFile::Parse(std::string(c.header) + "[HKEY_CURRENT_USER\\K]\r\n" +
                                             "\"V\"=" + c.data + "\r\n");
        ASSERT_NE(f.Find("K", "V"), nullptr) << c.header << c.data;
        EXPECT_EQ(*f.Find("K", "V"), c.bytes) << c.header << c.data;
    }
    // "50" as a version 5 expandable string reads as the same four bytes as the plain string.
    EXPECT_EQ(
        Read(std::string(kHeader) + kSaverKey + "\"Mouse Threshold\"=hex(2):35,00,30,00,00,00\r\n")
            .mouseThreshold,
        12341);
}

}  // namespace
}  // namespace velmoria
