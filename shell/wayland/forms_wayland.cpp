// The shell's forms on Wayland: titles in the registry, GLib timers and signals.
#include "shell/wayland/forms_wayland.h"

#include <glib-unix.h>
#include <glib.h>

#include <csignal>
#include <vector>

namespace velmoria {

FormsWayland::~FormsWayland() {
    for (auto& [handle, form] : forms_) {
        StopTimers(form);
    }
}

int FormsWayland::OnTimer(void* data) {
    const TimerTick tick = *static_cast<TimerTick*>(data);  // the handler may stop the timer
    if (tick.forms->ended_) {
        return G_SOURCE_REMOVE;
    }
    const auto form = tick.forms->forms_.find(tick.form);
    if (form != tick.forms->forms_.end() && form->second.events != nullptr) {
        form->second.events->OnTimer(tick.timer);
    }
    return G_SOURCE_CONTINUE;
}

int FormsWayland::OnSignal(void* self) {
    static_cast<FormsWayland*>(self)->CloseAllFromOutside();
    return G_SOURCE_CONTINUE;
}

WindowHandle FormsWayland::Create(const char* title, FormEvents* events) {
    if (ended_) {
        return 0;
    }
    Form form;
    form.events = events;
    form.title = std::make_unique<AnnouncedWindowPosix>(RuntimeFolderPosix(), title);
    const WindowHandle handle = next_++;
    forms_[handle] = std::move(form);
    return handle;
}

void FormsWayland::SetTimer(WindowHandle form, int timer, uint32_t intervalMs) {
    const auto found = forms_.find(form);
    if (found == forms_.end()) {
        return;
    }
    std::map<int, unsigned int>& timers = found->second.timers;
    if (const auto running = timers.find(timer); running != timers.end()) {
        g_source_remove(running->second);
        timers.erase(running);
        ticks_.erase({form, timer});
    }
    if (intervalMs == 0 || ended_) {
        return;
    }
    auto tick = std::make_unique<TimerTick>(TimerTick{this, form, timer});
    timers[timer] = g_timeout_add(intervalMs, OnTimer, tick.get());
    ticks_[{form, timer}] = std::move(tick);
}

void FormsWayland::StopTimers(Form& state) {
    for (const auto& [timer, source] : state.timers) {
        g_source_remove(source);
    }
    state.timers.clear();
}

void FormsWayland::CloseAllFromOutside() {
    std::vector<WindowHandle> handles;
    for (const auto& [handle, form] : forms_) {
        handles.push_back(handle);
    }
    for (const WindowHandle handle : handles) {
        const auto found = forms_.find(handle);
        if (!ended_ && found != forms_.end() && found->second.events != nullptr) {
            found->second.events->OnQueryUnload();
        }
    }
    EndProgram();
}

void FormsWayland::EndProgram() {
    ended_ = true;
    for (auto& [handle, form] : forms_) {
        StopTimers(form);
    }
    forms_.clear();  // the titles go with them
    ticks_.clear();
    if (loop_ != nullptr) {
        g_main_loop_quit(loop_);
    }
}

void FormsWayland::RunWhileLoaded() {
    if (forms_.empty() || ended_) {
        return;
    }
    std::vector<guint> signals;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        signals.push_back(g_unix_signal_add(signal, OnSignal, this));
    }
    loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
    g_main_loop_unref(loop_);
    loop_ = nullptr;
    for (const guint signal : signals) {
        g_source_remove(signal);
    }
}

}  // namespace velmoria
