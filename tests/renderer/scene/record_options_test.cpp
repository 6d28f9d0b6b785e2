// velmoria-record's command line.
#include <gtest/gtest.h>

#include <vector>

#include "tools/record_options.h"

namespace velmoria {
namespace {

struct Parsed {
    bool ok;
    RecordOptions options;
    std::string error;
};

Parsed Parse(std::vector<const char*> args) {
    args.insert(args.begin(), "velmoria-record");
    Parsed parsed;
    parsed.ok = ParseRecordOptions(static_cast<int>(args.size()), args.data(), parsed.options,
                                   parsed.error);
    return parsed;
}

TEST(RecordOptions, DefaultsAndEveryOption) {
    const Parsed none = Parse({});
    ASSERT_TRUE(none.ok);
    EXPECT_EQ(none.options.width, 1024);
    EXPECT_EQ(none.options.height, 768);
    EXPECT_EQ(none.options.every, 1);
    EXPECT_EQ(none.options.sprite, "");
    EXPECT_EQ(none.options.outDir, "out");

    const Parsed all = Parse({"--size", "320x200", "--frames", "12", "--every", "5", "--sprite",
                              "s.bmp", "--out", "frames"});
    ASSERT_TRUE(all.ok) << all.error;
    EXPECT_EQ(all.options.width, 320);
    EXPECT_EQ(all.options.height, 200);
    EXPECT_EQ(all.options.frames, 12);
    EXPECT_EQ(all.options.every, 5);
    EXPECT_EQ(all.options.sprite, "s.bmp");
    EXPECT_EQ(all.options.outDir, "frames");
}

TEST(RecordOptions, RefusesWhatItCannotUse) {
    for (const std::vector<const char*>& args : std::vector<std::vector<const char*>>{
             {"--size", "320"},
             {"--size", "320x"},
             {"--size", "x200"},
             {"--size", "0x200"},
             {"--size", "-320x200"},
             {"--size", "320x200x3"},
             {"--size", "16385x10"},
             {"--frames", "0"},
             {"--frames", "1.5"},
             {"--frames", "99999999999999999999"},
             {"--every", "-1"},
             {"--every", " 2"},
             {"--out", ""},
             {"--frames"},
             {"--colour", "red"},
             {"frames"},
         }) {
        const Parsed parsed = Parse(args);
        EXPECT_FALSE(parsed.ok) << args[0] << " " << (args.size() > 1 ? args[1] : "");
        EXPECT_FALSE(parsed.error.empty());
    }
}

}  // namespace
}  // namespace velmoria
