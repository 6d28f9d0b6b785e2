// The forms' GLib loop, timers and ending signals.
#include "shell/desktop/form_loop_glib.h"

#include <glib-unix.h>
#include <glib.h>

#include <csignal>
#include <limits>

namespace velmoria {

FormLoopGLib::~FormLoopGLib() {
    StopAllTimers();
    for (const unsigned source : signalSources_) {
        g_source_remove(source);
    }
}

void FormLoopGLib::CatchEndingSignals() {
    if (!signalSources_.empty()) {
        return;
    }
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        signalSources_.push_back(g_unix_signal_add(signal, OnSignal, this));
    }
}

int FormLoopGLib::OnSignal(void* data) {
    FormLoopGLib* loop = static_cast<FormLoopGLib*>(data);
    loop->endingSignal_ = true;
    loop->events_.OnEndingSignal();
    return G_SOURCE_CONTINUE;
}

void FormLoopGLib::SetTimer(WindowHandle form, int timer, uint32_t intervalMs) {
    if (const auto running = timers_.find({form, timer}); running != timers_.end()) {
        g_source_remove(running->second->source);
        timers_.erase(running);
    }
    if (intervalMs == 0) {
        return;
    }
    auto tick = std::make_unique<Tick>(Tick{this, form, timer, 0});
    tick->source = g_timeout_add(intervalMs, OnTick, tick.get());
    timers_[{form, timer}] = std::move(tick);
}

int FormLoopGLib::OnTick(void* data) {
    const Tick tick = *static_cast<Tick*>(data);  // the handler may stop or restart the timer
    tick.loop->events_.OnFormTimer(tick.form, tick.timer);
    return G_SOURCE_CONTINUE;
}

void FormLoopGLib::StopTimers(WindowHandle form) {
    auto timer = timers_.lower_bound({form, std::numeric_limits<int>::min()});
    while (timer != timers_.end() && timer->first.first == form) {
        g_source_remove(timer->second->source);
        timer = timers_.erase(timer);
    }
}

void FormLoopGLib::StopAllTimers() {
    for (const auto& [key, tick] : timers_) {
        g_source_remove(tick->source);
    }
    timers_.clear();
}

void FormLoopGLib::Run() {
    loop_ = g_main_loop_new(nullptr, FALSE);
    g_main_loop_run(loop_);
    g_main_loop_unref(loop_);
    loop_ = nullptr;
}

void FormLoopGLib::Quit() {
    if (loop_ != nullptr) {
        g_main_loop_quit(loop_);
    }
}

}  // namespace velmoria
