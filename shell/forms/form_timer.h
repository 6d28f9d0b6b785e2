// A timer of a form, switched on and off like the forms runtime's timer control: switching on a
// timer that is on changes nothing.
#pragma once

#include <cstdint>

#include "shell/platform.h"

namespace velmoria {

class FormTimer {
  public:
    FormTimer(int id, uint32_t intervalMs) : id_(id), interval_(intervalMs) {}

    // The form the timer belongs to; set when the form's window exists.
    void Attach(WindowHandle form) { form_ = form; }

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) {
        if (enabled == enabled_) {
            return;
        }
        enabled_ = enabled;
        if (form_ != 0) {
            ShellPlatform::Current().SetFormTimer(form_, id_, enabled ? interval_ : 0);
        }
    }
    int Id() const { return id_; }

  private:
    int id_;
    uint32_t interval_;
    WindowHandle form_ = 0;
    bool enabled_ = false;
};

}  // namespace velmoria
