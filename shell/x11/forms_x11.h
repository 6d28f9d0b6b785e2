// The shell's forms on X11: top-level windows with a title, created unmapped, with their timers
// and pictures, served by GLib's main loop through an event source on the X connection. The
// loop also ends the forms on SIGTERM, SIGINT and SIGHUP (a log-out, a screen-saver daemon's
// kill) as on a close request, so that their unload runs; so does a lost X connection.
#pragma once

#include <X11/Xlib.h>

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "shell/desktop/form_loop_glib.h"
#include "shell/platform.h"

namespace velmoria {

class FormsX11 final : private FormLoopGLib::Events {
  public:
    explicit FormsX11(Display* display);
    ~FormsX11();
    FormsX11(const FormsX11&) = delete;
    FormsX11& operator=(const FormsX11&) = delete;

    Window Create(const char* title, uint32_t background, FormEvents* events);
    void Show(Window form);
    void SetTimer(Window form, int timer, uint32_t intervalMs);
    void Move(Window form, int32_t x, int32_t y, int32_t width, int32_t height);
    void SetPicture(Window form, int32_t x, int32_t y, PixelImage picture);
    int32_t Reparent(Window form, Window parent);
    // Every form goes and the loop ends; nothing more is dispatched.
    void EndProgram();
    // GLib's main loop until no form is left or the program has ended.
    void RunWhileLoaded();

    // Another program's window whose destruction is to be noticed; false when it has gone.
    bool Watch(Window window);
    bool Watching(Window window) const { return watched_.count(window) > 0; }
    // Handles the events already queued (a watched window's DestroyNotify among them).
    void HandlePending();

    // Closes every form from outside (signals, a lost connection): each one's unload runs.
    void CloseAllFromOutside();
    // Catches SIGTERM, SIGINT and SIGHUP from here on (the first form does it): one that comes
    // before the loop runs is handled when it does, never by the default ending. Without forms
    // (the settings dialog) the signals keep their default.
    void CatchEndingSignals();
    // Whether an ending signal has come; the loop then closes every form.
    bool EndingSignalCaught() const { return loop_.EndingSignalCaught(); }
    // The connection has gone: nothing more is sent to the server.
    void ForgetDisplay() { display_ = nullptr; }

  private:
    struct Form {
        FormEvents* events = nullptr;
        int32_t pictureX = 0;
        int32_t pictureY = 0;
        PixelImage picture;
        bool mapped = false;
    };
    void HandleEvent(const XEvent& event);
    void Forget(Window form);
    void Draw(Window form, Form& state);
    unsigned long Pixel(uint32_t rgb) const;
    void OnFormTimer(WindowHandle form, int timer) override;
    void OnEndingSignal() override { CloseAllFromOutside(); }
    friend struct XSourceX11;

    Display* display_;
    std::map<Window, Form> forms_;
    std::set<Window> watched_;
    bool ended_ = false;
    FormLoopGLib loop_{*this};
};

}  // namespace velmoria
