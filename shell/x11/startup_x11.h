// The start-up platform of Linux.
#pragma once

#include "../startup.h"

namespace velmoria {

class StartupX11 final : public StartupPlatform {
  public:
    bool TopLevelWindowExists(const char* title) override;
    bool CreateFolder(const std::string& path) override;
    int32_t ShowCursor(bool show) override;
    std::string WorkFolder() override;
    std::string SettingsFilePath() override;
    std::string ProgramFolder() override;
};

// The process's cursor display count (nothing on Linux draws the shell's cursor).
CursorDisplayCount& ShellCursorCount();

}  // namespace velmoria
