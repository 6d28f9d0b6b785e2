// What the shell's forms share on Linux whatever the window system: GLib's main loop, each
// form's timers on it, and the ending signals (SIGTERM, SIGINT, SIGHUP: a log-out, a screen-saver
// daemon's or swayidle's kill). The forms catch those from their first form on, so that one that
// comes before the loop runs (the session starts its renderer first) waits for it and closes the
// forms, their unload included, instead of ending the program the default way.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "shell/platform.h"

struct _GMainLoop;

namespace velmoria {

class FormLoopGLib {
  public:
    // What the loop hands back to the forms.
    class Events {
      public:
        virtual void OnFormTimer(WindowHandle form, int timer) = 0;
        virtual void OnEndingSignal() = 0;

      protected:
        ~Events() = default;
    };

    explicit FormLoopGLib(Events& events) : events_(events) {}
    ~FormLoopGLib();
    FormLoopGLib(const FormLoopGLib&) = delete;
    FormLoopGLib& operator=(const FormLoopGLib&) = delete;

    // From here on until destroyed; again is harmless.
    void CatchEndingSignals();
    // Whether an ending signal has come.
    bool EndingSignalCaught() const { return endingSignal_; }

    // Starts a form's timer, restarts it with a new interval, or stops it (0).
    void SetTimer(WindowHandle form, int timer, uint32_t intervalMs);
    void StopTimers(WindowHandle form);
    void StopAllTimers();

    // GLib's main loop until Quit.
    void Run();
    void Quit();

  private:
    struct Tick {
        FormLoopGLib* loop;
        WindowHandle form;
        int timer;
        unsigned source;
    };
    static int OnTick(void* tick);
    static int OnSignal(void* loop);

    Events& events_;
    std::map<std::pair<WindowHandle, int>, std::unique_ptr<Tick>> timers_;
    std::vector<unsigned> signalSources_;
    bool endingSignal_ = false;
    ::_GMainLoop* loop_ = nullptr;
};

}  // namespace velmoria
