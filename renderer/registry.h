// What the renderer asks of the registry: open a key of the current user, and read a value the
// way RegQueryValueExA does into a 4-byte buffer.
#pragma once

#include <cstdint>
#include <memory>

namespace velmoria {

class RegistryKey {
  public:
    virtual ~RegistryKey() = default;
    // Copies the value's data into `out` and zero-fills the rest. Fails when the value is
    // missing or holds more than four bytes. The value's type is ignored.
    virtual bool QueryFourBytes(const char* name, uint8_t out[4]) = 0;
};

class Registry {
  public:
    virtual ~Registry() = default;
    // Opens a key under HKEY_CURRENT_USER with full access; null when it cannot be opened.
    virtual std::unique_ptr<RegistryKey> OpenCurrentUserKey(const char* path) = 0;
};

// The platform's registry: the real one on Windows, the registry file on Linux.
Registry& PlatformRegistry();

}  // namespace velmoria
