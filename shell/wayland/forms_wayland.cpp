// The shell's forms on Wayland: titles in the registry, timers and signals on GLib's loop.
#include "shell/wayland/forms_wayland.h"

#include <cstdio>
#include <vector>

#include "common/posix/runtime_folder_posix.h"

namespace velmoria {

WindowHandle FormsWayland::Create(const char* title, FormEvents* events) {
    loop_.CatchEndingSignals();
    if (ended_) {
        return 0;
    }
    Form form;
    form.events = events;
    form.title = std::make_unique<TitleRegistryEntryPosix>(RuntimeFolderPosix(), title);
    if (!form.title->Held()) {
        std::fprintf(stderr, "Velmoria.scr: %s\n", form.title->Fault().c_str());
    }
    const WindowHandle handle = next_++;
    forms_[handle] = std::move(form);
    return handle;
}

void FormsWayland::SetTimer(WindowHandle form, int timer, uint32_t intervalMs) {
    if (forms_.count(form) > 0) {
        loop_.SetTimer(form, timer, ended_ ? 0 : intervalMs);
    }
}

void FormsWayland::OnFormTimer(WindowHandle form, int timer) {
    const auto found = forms_.find(form);
    if (!ended_ && found != forms_.end() && found->second.events != nullptr) {
        found->second.events->OnTimer(timer);
    }
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
    loop_.StopAllTimers();
    forms_.clear();  // the titles go with them
    loop_.Quit();
}

void FormsWayland::RunWhileLoaded() {
    if (!forms_.empty() && !ended_) {
        loop_.Run();
    }
}

}  // namespace velmoria
