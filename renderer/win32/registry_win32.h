// The current user's registry on Windows.
#pragma once

#include "renderer/registry.h"

namespace velmoria {

// RegOpenKeyExA under HKEY_CURRENT_USER with full access; RegQueryValueExA into 4 bytes.
class RegistryWin32 final : public Registry {
  public:
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(const char* path) override;
};

}  // namespace velmoria
