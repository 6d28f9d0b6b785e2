// Main's eight steps. Each step is guarded: a failure skips the rest of its step only, and
// nothing is reported.
#include "shell/startup.h"

#include <exception>

#include "common/saver_contract.h"
#include "shell/guarded_step.h"
#include "shell/platform.h"
#include "shell/settings/number_text.h"
#include "shell/settings/settings_file.h"

namespace velmoria {

const char* const kSessionWindowTitle = "Skorvane_Main";
const char* const kDialogWindowTitle = "<Velmoria>";

int32_t CursorCount = 0;

namespace {

struct StepFailed : std::exception {};

}  // namespace

std::string ModeLetter(std::string_view argumentText) {
    if (argumentText.size() < 2) {
        return {};
    }
    char c = argumentText[1];
    if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
    }
    return std::string(1, c);
}

AfterMain Main(std::string_view argumentText, ShellActivities& activities, bool hosted) {
    ShellPlatform& platform = ShellPlatform::Current();
    const std::string mode = ModeLetter(argumentText);
    bool another = false;
    Guarded([&] {
        if (hosted) {
            return;
        }
        another = platform.TopLevelWindowExists(kSessionWindowTitle) ||
                  platform.TopLevelWindowExists(kDialogWindowTitle);
    });
    if (another) {
        return AfterMain::EndProgram;
    }
    if (mode == "P") {
        // A handle that does not fit in 32 bits fails this step, and the steps after it run.
        const bool previewed = Guarded([&] {
            const auto host =
                ParseHandle(argumentText.size() > 3 ? argumentText.substr(3) : std::string_view());
            if (!host) {
                throw StepFailed();
            }
            activities.StartPreview(*host);
        });
        if (previewed) {
            return AfterMain::RunWhileWindowsLoaded;
        }
    }
    Guarded([&] { platform.CreateFolder(WorkFolderPath()); });
    Guarded([&] { ReadSettings(); });
    if (mode == "C") {
        Guarded([&] { activities.ShowSettingsDialog(); });
        return AfterMain::EndProgram;
    }
    if (mode != "S" && !argumentText.empty()) {
        return AfterMain::EndProgram;
    }
    if (mode == "S") {
        Guarded([&] { CursorCount = platform.ShowCursor(false); });
    }
    Guarded([&] { activities.LoadSessionForm(); });
    return AfterMain::RunWhileWindowsLoaded;
}

}  // namespace velmoria
