// Stand-ins for the three activities Main hands over to.
#include "interim_activities.h"

#include "shell_windows.h"

namespace velmoria {

void InterimActivities::StartPreview(int32_t) {}

void InterimActivities::ShowSettingsDialog() {}

void InterimActivities::LoadSessionForm() {
    CreateHiddenWindow(kSessionWindowTitle);
}

}  // namespace velmoria
