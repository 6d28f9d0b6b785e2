// The Linux programs' choice between X11 and Wayland, and which output animates on Wayland.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/window_system.h"
#include "renderer/monitor_windows.h"

namespace velmoria {
namespace {

TEST(WindowSystemChoice, ForcedAutomaticAndHosted) {
    struct Case {
        const char* name;
        const char* forced;
        bool waylandDisplay;
        bool hosted;
        bool layerShell;
        WindowSystem expected;
        bool unknown;
        bool asked;  // the compositor was asked
    };
    constexpr auto X = WindowSystem::X11;
    constexpr auto W = WindowSystem::Wayland;
    const Case cases[] = {
        {"no Wayland display", nullptr, false, false, true, X, false, false},
        {"Wayland with layer-shell", nullptr, true, false, true, W, false, true},
        {"Wayland without layer-shell (GNOME)", nullptr, true, false, false, X, false, true},
        {"empty forced value is unset", "", true, false, true, W, false, true},
        {"hosted in an X daemon's window", nullptr, true, true, true, X, false, false},
        {"forced x11 on Wayland", "x11", true, false, true, X, false, false},
        {"forced wayland without a display", "wayland", false, false, false, W, false, false},
        {"forced wayland while hosted", "wayland", true, true, true, W, false, false},
        {"unknown forced value", "vulkan", true, false, true, W, true, true},
        {"forced value is case-sensitive", "X11", false, false, true, X, true, false},
    };
    for (const Case& c : cases) {
        bool asked = false;
        const WindowSystemChoice choice =
            ChooseWindowSystem(c.forced, c.waylandDisplay, c.hosted, [&] {
                asked = true;
                return c.layerShell;
            });
        EXPECT_EQ(choice.system, c.expected) << c.name;
        EXPECT_EQ(choice.unknownForced, c.unknown) << c.name;
        EXPECT_EQ(asked, c.asked) << c.name;
    }
}

TEST(PrimaryOutput, NamedElseFirstAnnounced) {
    struct Case {
        const char* name;
        std::vector<std::string> outputs;
        const char* wanted;
        int expected;
    };
    const Case cases[] = {
        {"no outputs", {}, nullptr, -1},
        {"no outputs, one wanted", {}, "HDMI-A-1", -1},
        {"first announced", {"DP-1", "HDMI-A-1"}, nullptr, 0},
        {"empty name is unset", {"DP-1", "HDMI-A-1"}, "", 0},
        {"named", {"DP-1", "HDMI-A-1", "eDP-1"}, "eDP-1", 2},
        {"named but absent", {"DP-1", "HDMI-A-1"}, "eDP-1", 0},
        {"names match exactly", {"DP-1", "DP-10"}, "DP-10", 1},
        {"no prefix match", {"DP-1", "DP-10"}, "DP", 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PrimaryOutputIndex(c.outputs, c.wanted), c.expected) << c.name;
    }
}

}  // namespace
}  // namespace velmoria
