// The shell's forms on Wayland, where no program sees another's windows: a form is its title
// held in the title registry (common/posix/title_registry_posix.h) for as long as it is
// loaded, with its timers, served by GLib's main loop. From the first form on, SIGTERM, SIGINT
// and SIGHUP (swayidle's kill, a log-out) end the forms as a close request does, so that their
// unload runs.
#pragma once

#include <map>
#include <memory>

#include "common/posix/title_registry_posix.h"
#include "shell/desktop/form_loop_glib.h"
#include "shell/platform.h"

namespace velmoria {

class FormsWayland final : private FormLoopGLib::Events {
  public:
    FormsWayland() = default;
    FormsWayland(const FormsWayland&) = delete;
    FormsWayland& operator=(const FormsWayland&) = delete;

    WindowHandle Create(const char* title, FormEvents* events);
    void SetTimer(WindowHandle form, int timer, uint32_t intervalMs);
    // Every form goes (its title with it) and the loop ends; nothing more is dispatched.
    void EndProgram();
    // GLib's main loop until the program has ended.
    void RunWhileLoaded();
    // Closes every form from outside (signals): each one's unload runs.
    void CloseAllFromOutside();
    // Whether an ending signal has come; the forms are then closed.
    bool EndingSignalCaught() const { return loop_.EndingSignalCaught(); }

  private:
    struct Form {
        FormEvents* events = nullptr;
        std::unique_ptr<TitleRegistryEntryPosix> title;
    };
    void OnFormTimer(WindowHandle form, int timer) override;
    void OnEndingSignal() override { CloseAllFromOutside(); }

    std::map<WindowHandle, Form> forms_;
    WindowHandle next_ = 1;
    bool ended_ = false;
    FormLoopGLib loop_{*this};
};

}  // namespace velmoria
