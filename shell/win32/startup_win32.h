// The start-up platform of Windows.
#pragma once

#include "../startup.h"

namespace velmoria {

class StartupWin32 final : public StartupPlatform {
  public:
    bool TopLevelWindowExists(const char* title) override;
    bool CreateFolder(const std::string& path) override;
    int32_t ShowCursor(bool show) override;
    std::string WorkFolder() override;
    std::string SettingsFilePath() override;
    std::string ProgramFolder() override;
};

}  // namespace velmoria
