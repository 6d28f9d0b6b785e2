// The renderer's services on Windows: file mapping, GDI conversion, the registry, MessageBoxA,
// the cursor and OutputDebugStringA.
#pragma once

#include "renderer/platform.h"
#include "renderer/win32/registry_win32.h"

namespace velmoria {

class RendererPlatformWin32 final : public RendererPlatform {
  public:
    std::unique_ptr<ReadOnlyFile> MapFile(const char* path) override;
    std::unique_ptr<Bgr24Converter> NewBgr24Converter() override;
    Registry& CurrentUserRegistry() override { return registry_; }
    void ShowErrorBox(const char* text) override;
    void HideCursor() override;
    void WriteDiagnostic(const char* line) override;

  private:
    RegistryWin32 registry_;
};

}  // namespace velmoria
