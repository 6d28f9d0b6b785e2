// Loading the preview and session forms, and showing the settings dialog.
#include "shell/forms/shell_forms.h"

namespace velmoria {

void ShellForms::StartPreview(int32_t hostWindow) {
    preview_ = std::make_unique<PreviewForm>();
    preview_->Start(hostWindow);
}

void ShellForms::ShowSettingsDialog() {
    // "設定" writes the user's own file only, whichever file the settings came from.
    ShellPlatform& platform = ShellPlatform::Current();
    platform.RunSettingsDialog(platform.UserSettingsFilePath());
}

void ShellForms::LoadSessionForm() {
    session_ = std::make_unique<SessionForm>(argumentText_);
    session_->Load();
}

}  // namespace velmoria
