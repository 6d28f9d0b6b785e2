// Stand-ins for the three activities Main hands over to.
#include "interim_activities.h"

#include "shell/platform.h"

namespace velmoria {

void InterimActivities::StartPreview(int32_t) {}

void InterimActivities::ShowSettingsDialog() {}

void InterimActivities::LoadSessionForm() {
    ShellPlatform::Current().CreateHiddenWindow(kSessionWindowTitle);
}

}  // namespace velmoria
