// The shell's platform on Wayland.
#include "shell/wayland/shell_platform_wayland.h"

#include <cstdlib>

#include "common/posix/runtime_folder_posix.h"
#include "common/posix/title_registry_posix.h"
#include "shell/startup.h"
#include "shell/wayland/forms_wayland.h"

namespace velmoria {

ShellPlatformWayland::ShellPlatformWayland() : forms_(std::make_unique<FormsWayland>()) {}

ShellPlatformWayland::~ShellPlatformWayland() = default;

// A lock file that cannot be trusted counts as a window, so that nothing starts, and the run
// ends saying why.
bool ShellPlatformWayland::TopLevelWindowExists(const char* title) {
    std::string fault;
    const TitleRegistryState state = TitleRegistryStatePosix(RuntimeFolderPosix(), title, fault);
    if (state == TitleRegistryState::Refused) {
        RefuseStart(fault);
    }
    return state != TitleRegistryState::Absent;
}

bool ShellPlatformWayland::IsWindow(WindowHandle) {
    WriteDiagnostic("Wayland: no preview, another program's window is out of reach");
    return false;
}

WindowHandle ShellPlatformWayland::CreateForm(const char* title, uint32_t, FormEvents* events) {
    return forms_->Create(title, events);
}

void ShellPlatformWayland::SetFormTimer(WindowHandle form, int timer, uint32_t intervalMs) {
    forms_->SetTimer(form, timer, intervalMs);
}

void ShellPlatformWayland::EndProgram() {
    forms_->EndProgram();
}

void ShellPlatformWayland::RunWhileWindowsLoaded() {
    forms_->RunWhileLoaded();
}

void ShellPlatformWayland::RunSettingsDialog(const std::string& settingsFile) {
    const TitleRegistryEntryPosix dialog(RuntimeFolderPosix(), kDialogWindowTitle);
    if (!dialog.Held()) {
        WriteDiagnostic(dialog.Fault().c_str());
    }
    ShellPlatformLinux::RunSettingsDialog(settingsFile);
}

bool ShellPlatformWayland::TakeMusicLock() {
    return TakeMusicLockFor(std::getenv("WAYLAND_DISPLAY"));
}

}  // namespace velmoria
