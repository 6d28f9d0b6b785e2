// The stored property set's text form: each value type read and written, the round trip of
// awkward values, and what a damaged text reads as.
#include "shell/controls/button_properties.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace velmoria {
namespace {

TEST(ButtonPropertySet, WritesEachTypeInItsTextForm) {
    ButtonPropertySet set;
    set.WriteBoolean("Enabled", false);
    set.WriteString("Caption", "say \"設定\"");
    set.WriteByte("FirstRun", 0);
    set.WriteFont("Font", ButtonFont{"Tahoma", 8.25, 700, true, false, true, 0});
    set.WriteColour("FontColour", 0xFF);
    set.WriteInteger("Visible", 0);
    EXPECT_EQ(set.Format(),
              "Enabled = 0\n"
              "Caption = \"say \"\"設定\"\"\"\n"
              "FirstRun = 0\n"
              "Font = \"Tahoma\", 8.25, 700, -1, 0, -1, 0\n"
              "FontColour = &H000000FF&\n"
              "Visible = 0\n");
    set.WriteBoolean("Enabled", true);
    EXPECT_EQ(set.Keys().front(), "Enabled") << "a rewrite keeps the entry's place";
    EXPECT_EQ(set.ReadBoolean("Enabled"), true);
}

TEST(ButtonPropertySet, AwkwardValuesComeBackAsWritten) {
    const std::vector<std::string> captions = {"",      "\"",      "a\nb",    "a\r\nb",
                                               "x = y", "&Cancel", "ｷｬﾝｾﾙ 🎵", "  spaced  "};
    for (const std::string& caption : captions) {
        ButtonPropertySet set;
        set.WriteString("Caption", caption);
        set.WriteFont("Font", ButtonFont{"Odd, \"name\"", 9.75, 400, false, true, false, 128});
        const ButtonPropertySet back = ButtonPropertySet::Parse(set.Format());
        EXPECT_EQ(back.ReadString("Caption"), caption);
        EXPECT_EQ(back.ReadFont("Font")->name, "Odd, \"name\"");
        EXPECT_TRUE(back.ReadFont("Font")->underline);
        EXPECT_EQ(back.ReadFont("Font")->points, 9.75);
    }
}

TEST(ButtonPropertySet, ReadsWindowsLineEndsBlanksAndHexOrDecimalColours) {
    const ButtonPropertySet set = ButtonPropertySet::Parse(
        "\r\n  Enabled=-1\r\n\r\nFontColour = &hff00&\r\nVisible = 1\r\nFirstRun =255\r\n");
    EXPECT_EQ(set.ReadBoolean("Enabled"), true);
    EXPECT_EQ(set.ReadColour("FontColour"), 0xFF00u);
    EXPECT_EQ(set.ReadInteger("Visible"), 1);
    EXPECT_EQ(set.ReadByte("FirstRun"), 255);
    EXPECT_EQ(ButtonPropertySet::Parse("FontColour = 16711680").ReadColour("FontColour"),
              0xFF0000u);
}

// Whether the key's entry reads as the value type the control stores under it.
bool ReadsAsItsType(const ButtonPropertySet& set, const std::string& key) {
    if (key == "Caption") {
        return set.ReadString(key).has_value();
    }
    if (key == "FirstRun") {
        return set.ReadByte(key).has_value();
    }
    if (key == "Visible") {
        return set.ReadInteger(key).has_value();
    }
    if (key == "Enabled") {
        return set.ReadBoolean(key).has_value();
    }
    if (key == "FontColour") {
        return set.ReadColour(key).has_value();
    }
    return set.ReadFont(key).has_value();
}

TEST(ButtonPropertySet, DamagedEntriesReadAsMissing) {
    struct Case {
        const char* text;
        const char* key;
    };
    const Case cases[] = {
        {"Caption = \"unclosed\n", "Caption"},
        {"Caption = unquoted\n", "Caption"},
        {"Caption = \"a\" trailing\n", "Caption"},
        {"Caption \"no equals\"\n", "Caption"},
        {"FirstRun = 256\n", "FirstRun"},
        {"FirstRun = -1\n", "FirstRun"},
        {"Visible = 40000\n", "Visible"},
        {"Enabled = yes\n", "Enabled"},
        {"FontColour = &H1FFFFFFFF&\n", "FontColour"},
        {"FontColour = &H&\n", "FontColour"},
        {"Font = \"Tahoma\", 8.25, 400\n", "Font"},
        {"Font = \"Tahoma\", nan, 400, 0, 0, 0, 0\n", "Font"},
        {"Font = \"Tahoma\", 0, 400, 0, 0, 0, 0\n", "Font"},
        {"Font = \"Tahoma\", 8.25, 400, 0, 0, 0, 256\n", "Font"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(ReadsAsItsType(ButtonPropertySet::Parse(c.text), c.key)) << c.text;
    }
    // A damaged line does not take the next one with it.
    const ButtonPropertySet set = ButtonPropertySet::Parse("Caption = \"x\" y\nEnabled = 0\n");
    EXPECT_EQ(set.ReadBoolean("Enabled"), false);
}

}  // namespace
}  // namespace velmoria
