// The renderer's services on Linux without a window: mmap, our own bitmap decoder, the registry
// file, and standard error for the error box and diagnostics. The tools, the headless recorder
// and the tests use it as it is; the X11 backend builds on it.
#pragma once

#include <memory>

#include "renderer/platform.h"
#include "renderer/registry_file.h"

namespace velmoria {

class RendererPlatformPosix : public RendererPlatform {
  public:
    std::unique_ptr<ReadOnlyFile> MapFile(const char* path) override;
    std::unique_ptr<Bgr24Converter> NewBgr24Converter() override;
    // Read once: $VELMORIA_REGISTRY, else $XDG_CONFIG_HOME/velmoria/registry.reg (XDG rule).
    Registry& CurrentUserRegistry() override;
    int SetupFailureExitCode() override { return 1; }
    int64_t FrameLimitOverride() override;
    // "Error: " and the text on standard error.
    void ShowErrorBox(const char* text) override;
    void HideCursor() override {}
    // The program's name, then the line, on standard error.
    void WriteDiagnostic(const char* line) override;

  private:
    std::unique_ptr<RegistryFile> registry_;
};

// Where the registry file is looked for.
std::string RegistryFilePathPosix();

// Writes a loader message on standard error as the error box would show it.
void WriteErrorTextPosix(const char* text);

}  // namespace velmoria
