// What counts as a screen-saver daemon's hosted run, from the arguments and XSCREENSAVER_WINDOW.
#include <gtest/gtest.h>

#include "common/window_id.h"
#include "shell/hosted_run.h"

namespace velmoria {
namespace {

TEST(HostedRun, MusicLockFileNamesOneDesktopSession) {
    struct Case {
        const char* display;
        const char* name;
    };
    const Case cases[] = {
        {":0", "velmoria-music-:0.lock"},
        {":0.0", "velmoria-music-:0.lock"},  // a screen of the same session
        {":0.1", "velmoria-music-:0.lock"},
        {":12", "velmoria-music-:12.lock"},
        {"localhost:10.0", "velmoria-music-localhost:10.lock"},
        {"host.example:1", "velmoria-music-host.example:1.lock"},  // a dot before the colon stays
        {":0.x", "velmoria-music-:0.x.lock"},                      // no screen number
        {"unix/../:0", "velmoria-music-unix_.._:0.lock"},          // no folder steps
        {"", "velmoria-music.lock"},
        {nullptr, "velmoria-music.lock"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MusicLockFileName(c.display), c.name) << (c.display ? c.display : "(null)");
    }
}

TEST(HostedRun, FromArgumentsAndEnvironment) {
    struct Case {
        std::vector<std::string> arguments;
        const char* environment;
        bool hosted;
        const char* window;  // in decimal, as the renderer reads it
        bool badWindow = false;
        const char* frameLimit = "";
    };
    const Case cases[] = {
        {{}, nullptr, false, ""},                    // a plain start: the session
        {{}, "0x1c00007", true, "29360135"},         // xscreensaver's bare start
        {{}, "", false, ""},                         // set but empty
        {{"-root"}, "0x1c00007", true, "29360135"},  // xscreensaver's -root
        {{"-root"}, nullptr, true, ""},              // the root window itself
        {{"--root"}, nullptr, true, ""},
        {{"-window-id", "4242"}, nullptr, true, "4242"},  // the settings' preview
        {{"--window-id", "0x2a", "-fps"}, "0x99", true, "42"},
        {{"-window-id", "010"}, nullptr, true, "10"},     // decimal, never octal
        {{"-window-id", "-5"}, nullptr, true, "", true},  // no window id: a failed run
        {{"-window-id", "0x1FFFFFFFF"}, nullptr, true, "", true},
        {{"-window-id", ""}, nullptr, true, "", true},
        {{}, "window", true, "", true},
        {{"-window-id"}, "0x99", false, ""},  // no id after it: not hosted
        {{"/s"}, "0x99", false, ""},          // the standard line stays itself
        {{"/c"}, "0x99", false, ""},
        {{"/p", "1234"}, nullptr, false, ""},
        // xscreensaver's frame limit option goes with a hosted run only.
        {{"-root", "-frame-limit", "30"}, "0x99", true, "153", false, "30"},
        {{"--frame-limit", "0", "-root"}, nullptr, true, "", false, "0"},
        {{"-window-id", "42", "-frame-limit", "x"}, nullptr, true, "42", false, "x"},
        {{"-root", "-frame-limit"}, nullptr, true, "", false, ""},  // no value after it
        {{"-frame-limit", "30"}, nullptr, false, ""},
    };
    for (const Case& c : cases) {
        std::string name;
        for (const std::string& a : c.arguments) {
            name += a + " ";
        }
        SCOPED_TRACE(name + (c.environment != nullptr ? c.environment : "(unset)"));
        const HostedRun run = HostedRunFrom(c.arguments, c.environment);
        EXPECT_EQ(run.hosted, c.hosted);
        EXPECT_EQ(run.window, c.window);
        EXPECT_EQ(run.badWindow, c.badWindow);
        EXPECT_EQ(run.frameLimit, c.frameLimit);
    }
}

TEST(WindowId, DecimalOrHexWithinThirtyTwoBits) {
    struct Case {
        const char* text;
        std::optional<uint32_t> id;
    };
    const Case cases[] = {
        {"71303175", 71303175u},
        {"0x4400007", 0x4400007u},
        {"0X2A", 42u},
        {"010", 10u},
        {"4294967295", 4294967295u},
        {"0xffffffff", 0xFFFFFFFFu},
        {"4294967296", std::nullopt},
        {"0x100000000", std::nullopt},
        {"-5", std::nullopt},
        {"+5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"0x", std::nullopt},
        {"", std::nullopt},
        {"0", std::nullopt},
        {"12abc", std::nullopt},
        {"0xg1", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseWindowId(c.text), c.id) << c.text;
    }
}

}  // namespace
}  // namespace velmoria
