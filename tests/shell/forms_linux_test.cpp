// The shell's forms on X11 and Wayland and their shared GLib loop. The ending signals are caught
// from the first form on, so a SIGTERM that comes while the session starts its renderer (before
// the loop runs) closes the forms when the loop runs, never ending the process the default way
// with the renderer left behind. Timers may be stopped or restarted from their own tick.
#include <glib.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "shell/desktop/form_loop_glib.h"
#include "shell/x11/forms_x11.h"
#ifdef VELMORIA_WAYLAND
#include "shell/wayland/forms_wayland.h"
#endif

namespace velmoria {
namespace {

class ClosingForm final : public FormEvents {
  public:
    void OnTimer(int) override {}
    void OnQueryUnload() override { ++unloads; }
    int unloads = 0;
};

// Raises each ending signal after a form was made, before any loop: the forms must hear it on
// the next turn of GLib's loop and unload the form once.
template <typename Forms>
void ExpectEndingSignalsCloseTheForms(const std::function<std::unique_ptr<Forms>()>& makeForms,
                                      const std::function<void(Forms&, FormEvents*)>& create) {
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        SCOPED_TRACE(signal);
        ClosingForm form;
        {
            const std::unique_ptr<Forms> forms = makeForms();
            create(*forms, &form);
            raise(signal);  // the default ending would end this test program here
            for (int i = 0; i < 100 && !forms->EndingSignalCaught(); ++i) {
                g_main_context_iteration(nullptr, FALSE);
                g_usleep(1000);
            }
            EXPECT_TRUE(forms->EndingSignalCaught());
        }
        EXPECT_EQ(form.unloads, 1);
    }
}

TEST(FormsX11, EndingSignalsBeforeTheLoopCloseTheForms) {
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        GTEST_SKIP() << "no X server in DISPLAY";
    }
    ExpectEndingSignalsCloseTheForms<FormsX11>([&] { return std::make_unique<FormsX11>(display); },
                                               [](FormsX11& forms, FormEvents* events) {
                                                   forms.Create("Velmoria signal test", 0, events);
                                               });
    XCloseDisplay(display);
}

#ifdef VELMORIA_WAYLAND
TEST(FormsWayland, EndingSignalsBeforeTheLoopCloseTheForms) {
    // The forms' titles are lock files in a runtime folder of the test's own.
    const std::filesystem::path runtime =
        std::filesystem::temp_directory_path() / ("velmoria-forms-" + std::to_string(getpid()));
    std::filesystem::create_directories(runtime);
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string savedRuntime = saved != nullptr ? saved : "";
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    ExpectEndingSignalsCloseTheForms<FormsWayland>(
        [] { return std::make_unique<FormsWayland>(); },
        [](FormsWayland& forms, FormEvents* events) { forms.Create("Skorvane_Main", events); });
    if (saved != nullptr) {
        setenv("XDG_RUNTIME_DIR", savedRuntime.c_str(), 1);
    } else {
        unsetenv("XDG_RUNTIME_DIR");
    }
    std::filesystem::remove_all(runtime);
}
#endif

// Records the ticks; a tick's action may change the timers from inside the tick.
class TickRecorder final : public FormLoopGLib::Events {
  public:
    void OnFormTimer(WindowHandle form, int timer) override {
        ticks.emplace_back(form, timer);
        if (const auto action = actions.find({form, timer}); action != actions.end()) {
            action->second();
        }
        if (ticks.size() >= stopAfter && loop != nullptr) {
            loop->Quit();
        }
    }
    void OnEndingSignal() override {}
    std::vector<std::pair<WindowHandle, int>> ticks;
    std::map<std::pair<WindowHandle, int>, std::function<void()>> actions;
    size_t stopAfter = 6;
    FormLoopGLib* loop = nullptr;
};

TEST(FormLoopGLib, TimersStoppedOrRestartedFromTheirOwnTick) {
    struct Case {
        const char* name;
        // Sets timers on forms 1 and 2 and the actions; `ticks` is what must have ticked.
        std::function<void(FormLoopGLib&, TickRecorder&)> arrange;
        std::vector<std::pair<WindowHandle, int>> ticks;
    };
    const std::vector<Case> cases = {
        {"stopped by its own tick: it never ticks again",
         [](FormLoopGLib& loop, TickRecorder& recorder) {
             loop.SetTimer(1, 7, 1);
             recorder.actions[{1, 7}] = [&loop] { loop.SetTimer(1, 7, 0); };
             loop.SetTimer(2, 1, 40);
             recorder.stopAfter = 2;
         },
         {{1, 7}, {2, 1}}},
        {"restarted by its own tick: it ticks on",
         [](FormLoopGLib& loop, TickRecorder& recorder) {
             loop.SetTimer(1, 3, 1);
             recorder.actions[{1, 3}] = [&loop] { loop.SetTimer(1, 3, 2); };
             recorder.stopAfter = 3;
         },
         {{1, 3}, {1, 3}, {1, 3}}},
        {"a form's timers stopped: the other form's tick on",
         [](FormLoopGLib& loop, TickRecorder& recorder) {
             loop.SetTimer(1, 1, 1);
             loop.SetTimer(1, -2, 1);
             loop.SetTimer(2, 1, 5);
             loop.StopTimers(1);
             recorder.stopAfter = 2;
         },
         {{2, 1}, {2, 1}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TickRecorder recorder;
        FormLoopGLib loop(recorder);
        recorder.loop = &loop;
        c.arrange(loop, recorder);
        loop.Run();
        EXPECT_EQ(recorder.ticks, c.ticks);
    }
}

}  // namespace
}  // namespace velmoria
