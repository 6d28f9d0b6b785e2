// The activities as they stand until the saver session, the preview and the settings dialog are
// built: "S" and an empty command line load the hidden window "Skorvane_Main", which ends the
// program when it is closed; the preview and the dialog return at once.
#pragma once

#include "startup.h"

namespace velmoria {

class InterimActivities final : public ShellActivities {
  public:
    void StartPreview(int32_t hostWindow) override;
    void ShowSettingsDialog() override;
    void LoadSessionForm() override;
};

}  // namespace velmoria
