// velmoria-idle's decisions: the idle time from idle.conf, when the saver starts, the command
// line, the backends' order and what is run.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "idle/idle_config.h"
#include "idle/idle_decider.h"
#include "idle/idle_options.h"

namespace velmoria {
namespace {

TEST(IdleConfig, SecondsFromTheFile) {
    struct Case {
        const char* text;
        uint32_t seconds;
        const char* error;  // a part of the error, or "" for none
    };
    const Case cases[] = {
        {"", 600, ""},
        {"# nothing set\n\n", 600, ""},
        {"OTHER=5\n", 600, ""},
        {"VELMORIA_IDLE_SECONDS=300\n", 300, ""},
        {"VELMORIA_IDLE_SECONDS=300", 300, ""},
        {"VELMORIA_IDLE_SECONDS=300\r\n", 300, ""},
        {"  VELMORIA_IDLE_SECONDS = 45  \n", 45, ""},
        {"VELMORIA_IDLE_SECONDS=\"120\"\n", 120, ""},
        {"VELMORIA_IDLE_SECONDS='7'\n", 7, ""},
        {"VELMORIA_IDLE_SECONDS=1\n", 1, ""},
        {"VELMORIA_IDLE_SECONDS=4294967\n", 4294967, ""},
        {"VELMORIA_IDLE_SECONDS=10\nVELMORIA_IDLE_SECONDS=20\n", 20, ""},
        {"#VELMORIA_IDLE_SECONDS=abc\n;VELMORIA_IDLE_SECONDS=x\nVELMORIA_IDLE_SECONDS=9\n", 9, ""},
        {"VELMORIA_IDLE_SECONDS_X=abc\nXVELMORIA_IDLE_SECONDS=abc\n", 600, ""},
        {"VELMORIA_IDLE_SECONDS=abc\nVELMORIA_IDLE_SECONDS=30\n", 30, ""},
        {"VELMORIA_IDLE_SECONDS=abc\n", 600, "line 1: VELMORIA_IDLE_SECONDS: \"abc\" is no idle"},
        {"\nVELMORIA_IDLE_SECONDS=0\n", 600, "line 2: VELMORIA_IDLE_SECONDS: an idle time of 0"},
        {"VELMORIA_IDLE_SECONDS=\n", 600, "line 1: VELMORIA_IDLE_SECONDS: no idle time given"},
        {"VELMORIA_IDLE_SECONDS=-5\n", 600, "\"-5\" is no idle time"},
        {"VELMORIA_IDLE_SECONDS=5m\n", 600, "\"5m\" is no idle time"},
        {"VELMORIA_IDLE_SECONDS=1.5\n", 600, "\"1.5\" is no idle time"},
        {"VELMORIA_IDLE_SECONDS=4294968\n", 600, "too long"},
        {"VELMORIA_IDLE_SECONDS=99999999999999999999999\n", 600, "too long"},
        {"VELMORIA_IDLE_SECONDS=\"12\n", 600, "is no idle time"},
        {"VELMORIA_IDLE_SECONDS=30\nVELMORIA_IDLE_SECONDS=x\n", 600, "line 2:"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const IdleSecondsReading reading = IdleSecondsFromConfig(c.text);
        EXPECT_EQ(reading.seconds, c.seconds);
        if (c.error[0] == '\0') {
            EXPECT_EQ(reading.error, "");
        } else {
            EXPECT_NE(reading.error.find(c.error), std::string::npos) << reading.error;
            EXPECT_NE(reading.error.find("from 1 to 4294967"), std::string::npos);
        }
    }
}

// A run of events: 'I' idle (with the blockers of the step), 'A' active. Each idle step gives
// '+' (start), '-' (held off: a reason) or '.' (nothing, not even a look).
TEST(IdleDecider, StartsOncePerIdlePeriodAndNotWhileBlocked) {
    struct Step {
        char event;
        SaverBlockers blockers;
        char expected;
        const char* why;
    };
    const SaverBlockers none;
    SaverBlockers own, other, dialog, inhibited, all;
    own.ownSaverRuns = true;
    other.saverPresent = true;
    dialog.dialogOpen = true;
    inhibited.idleInhibited = true;
    all = {true, true, true, true};
    struct Case {
        const char* name;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"first idle starts", {{'I', none, '+', ""}}},
        {"a repeated idle is no news",
         {{'I', none, '+', ""}, {'I', none, '.', ""}, {'I', none, '.', ""}}},
        {"input re-arms", {{'I', none, '+', ""}, {'A', none, 0, ""}, {'I', none, '+', ""}}},
        {"active before any idle changes nothing", {{'A', none, 0, ""}, {'I', none, '+', ""}}},
        {"own saver still running",
         {{'I', own, '-', "the saver it started is still running"},
          {'A', none, 0, ""},
          {'I', none, '+', ""}}},
        {"another saver", {{'I', other, '-', "a saver is already running"}}},
        {"dialog open", {{'I', dialog, '-', "the settings dialog is open"}}},
        {"inhibited", {{'I', inhibited, '-', "the session inhibits idle"}}},
        {"the first reason of several", {{'I', all, '-', "the saver it started is still running"}}},
        {"a held-off period stays spent when the block goes",
         {{'I', inhibited, '-', "the session inhibits idle"},
          {'I', none, '.', ""},
          {'A', none, 0, ""},
          {'I', none, '+', ""}}},
        {"dialog closed, then the next period",
         {{'I', dialog, '-', "the settings dialog is open"},
          {'A', none, 0, ""},
          {'I', dialog, '-', "the settings dialog is open"},
          {'A', none, 0, ""},
          {'I', none, '+', ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IdleDecider decider;
        int stepNumber = 0;
        for (const Step& step : c.steps) {
            SCOPED_TRACE(stepNumber++);
            if (step.event == 'A') {
                decider.OnActive();
                EXPECT_TRUE(decider.Armed());
                continue;
            }
            int looks = 0;
            const IdleDecision decision = decider.OnIdle([&] {
                ++looks;
                return step.blockers;
            });
            EXPECT_FALSE(decider.Armed());
            switch (step.expected) {
                case '+':
                    EXPECT_TRUE(decision.launch);
                    EXPECT_EQ(decision.why, "");
                    EXPECT_EQ(looks, 1);
                    break;
                case '-':
                    EXPECT_FALSE(decision.launch);
                    EXPECT_EQ(decision.why, step.why);
                    EXPECT_EQ(looks, 1);
                    break;
                default:
                    EXPECT_FALSE(decision.launch);
                    EXPECT_EQ(decision.why, "");
                    EXPECT_EQ(looks, 0);
            }
        }
    }
}

TEST(IdleOptions, CommandLine) {
    struct Case {
        std::vector<std::string> arguments;
        uint32_t seconds;
        const char* command;
        const char* backend;
        bool help;
        const char* error;  // a part of it, "" for none
    };
    const Case cases[] = {
        {{}, 0, "", "", false, ""},
        {{"--seconds", "3"}, 3, "", "", false, ""},
        {{"--seconds=42"}, 42, "", "", false, ""},
        {{"--command", "touch x; sleep 1"}, 0, "touch x; sleep 1", "", false, ""},
        {{"--command=a=b"}, 0, "a=b", "", false, ""},
        {{"--backend", "x11", "--seconds", "2"}, 2, "", "x11", false, ""},
        {{"--help"}, 0, "", "", true, ""},
        {{"-h"}, 0, "", "", true, ""},
        {{"--seconds"}, 0, "", "", false, "--seconds needs a value"},
        {{"--seconds", "0"}, 0, "", "", false, "--seconds: an idle time of 0"},
        {{"--seconds", "ten"}, 0, "", "", false, "--seconds: \"ten\" is no idle time"},
        {{"--command", ""}, 0, "", "", false, "--command needs a command"},
        {{"--frobnicate"}, 0, "", "", false, "unknown option --frobnicate"},
        {{"/s"}, 0, "", "", false, "unknown option /s"},
        {{"--help=1"}, 0, "", "", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.empty() ? "(none)" : c.arguments[0]);
        const IdleOptions options = ParseIdleOptions(c.arguments);
        if (c.error[0] != '\0') {
            EXPECT_NE(options.error.find(c.error), std::string::npos) << options.error;
            continue;
        }
        EXPECT_EQ(options.error, "");
        EXPECT_EQ(options.seconds, c.seconds);
        EXPECT_EQ(options.command, c.command);
        EXPECT_EQ(options.backend, c.backend);
        EXPECT_EQ(options.help, c.help);
    }
}

TEST(IdleOptions, BackendOrderAndTheMessageWhenNoneWorks) {
    struct Case {
        const char* forced;
        std::vector<IdleBackend> order;
        const char* error;
    };
    const Case cases[] = {
        {"", {IdleBackend::Wayland, IdleBackend::Mutter, IdleBackend::X11}, ""},
        {"wayland", {IdleBackend::Wayland}, ""},
        {"gnome", {IdleBackend::Mutter}, ""},
        {"x11", {IdleBackend::X11}, ""},
        {"X11", {}, "no idle backend \"X11\" (wayland, gnome or x11)"},
        {"mutter", {}, "no idle backend \"mutter\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.forced);
        std::vector<IdleBackend> order = {IdleBackend::X11};
        std::string error;
        EXPECT_EQ(IdleBackendOrder(c.forced, order, error), c.error[0] == '\0');
        EXPECT_EQ(order, c.order);
        EXPECT_NE(error.find(c.error), std::string::npos) << error;
    }
    EXPECT_EQ(NoIdleBackendMessage({{IdleBackend::Wayland, "WAYLAND_DISPLAY is not set"},
                                    {IdleBackend::Mutter, "no session bus"},
                                    {IdleBackend::X11, "DISPLAY is not set"}}),
              "cannot tell when the user is idle here: wayland: WAYLAND_DISPLAY is not set; "
              "gnome: no session bus; x11: DISPLAY is not set");
}

TEST(IdleOptions, WhatIsStarted) {
    struct Case {
        const char* command;
        const char* folder;
        std::set<std::string> programs;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"", "/usr/bin", {"/usr/bin/velmoria"}, {"/usr/bin/velmoria", "/s"}},
        {"", "/b/bin", {"/b/bin/Velmoria.scr"}, {"/b/bin/Velmoria.scr", "/s"}},
        {"", "/b", {"/b/velmoria", "/b/Velmoria.scr"}, {"/b/velmoria", "/s"}},
        {"", "/opt", {}, {"velmoria", "/s"}},
        {"", "", {"/velmoria"}, {"velmoria", "/s"}},
        {"echo hi > f", "/usr/bin", {"/usr/bin/velmoria"}, {"/bin/sh", "-c", "echo hi > f"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        EXPECT_EQ(SaverCommandLine(c.command, c.folder,
                                   [&](const std::string& path) { return c.programs.count(path); }),
                  c.expected);
    }
}

}  // namespace
}  // namespace velmoria
