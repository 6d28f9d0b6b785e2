// The shell's forms on Wayland, where no program sees another's windows: a form is its title
// held in the title registry (common/posix/window_registry_posix.h) for as long as it is
// loaded, with its timers, served by GLib's main loop. The loop also ends the forms on SIGTERM,
// SIGINT and SIGHUP (swayidle's kill, a log-out) as on a close request, so that their unload runs.
#pragma once

#include <map>
#include <memory>
#include <utility>

#include "common/posix/window_registry_posix.h"
#include "shell/platform.h"

struct _GMainLoop;

namespace velmoria {

class FormsWayland {
  public:
    FormsWayland() = default;
    ~FormsWayland();
    FormsWayland(const FormsWayland&) = delete;
    FormsWayland& operator=(const FormsWayland&) = delete;

    WindowHandle Create(const char* title, FormEvents* events);
    void SetTimer(WindowHandle form, int timer, uint32_t intervalMs);
    // Every form goes (its title with it) and the loop ends; nothing more is dispatched.
    void EndProgram();
    // GLib's main loop until no form is left or the program has ended.
    void RunWhileLoaded();
    // Closes every form from outside (signals): each one's unload runs.
    void CloseAllFromOutside();

  private:
    struct Form {
        FormEvents* events = nullptr;
        std::map<int, unsigned int> timers;  // timer → GLib source
        std::unique_ptr<AnnouncedWindowPosix> title;
    };
    struct TimerTick {
        FormsWayland* forms;
        WindowHandle form;
        int timer;
    };
    void StopTimers(Form& state);
    static int OnTimer(void* tick);
    static int OnSignal(void* self);

    std::map<WindowHandle, Form> forms_;
    std::map<std::pair<WindowHandle, int>, std::unique_ptr<TimerTick>> ticks_;
    WindowHandle next_ = 1;
    ::_GMainLoop* loop_ = nullptr;
    bool ended_ = false;
};

}  // namespace velmoria
