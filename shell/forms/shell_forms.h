// The shell's forms as Main hands over to them: the preview, the settings dialog and the
// session.
#pragma once

#include <memory>
#include <string>

#include "shell/forms/preview.h"
#include "shell/forms/session.h"
#include "shell/startup.h"

namespace velmoria {

class ShellForms final : public ShellActivities {
  public:
    // `argumentText`: the command line, which the session's unload reads again.
    explicit ShellForms(std::string argumentText) : argumentText_(std::move(argumentText)) {}

    void StartPreview(int32_t hostWindow) override;
    void ShowSettingsDialog() override;
    void LoadSessionForm() override;

  private:
    std::string argumentText_;
    std::unique_ptr<PreviewForm> preview_;
    std::unique_ptr<SessionForm> session_;
};

}  // namespace velmoria
