// The registry on Windows: RegOpenKeyExA with full access, RegQueryValueExA into 4 bytes.
#include <windows.h>

#include <cstring>

#include "../registry.h"

namespace velmoria {

namespace {

class Win32Key final : public RegistryKey {
  public:
    explicit Win32Key(HKEY key) : key_(key) {}
    ~Win32Key() override { RegCloseKey(key_); }
    bool QueryFourBytes(const char* name, uint8_t out[4]) override {
        BYTE buffer[4] = {0, 0, 0, 0};
        DWORD size = sizeof(buffer);
        if (RegQueryValueExA(key_, name, nullptr, nullptr, buffer, &size) != ERROR_SUCCESS) {
            return false;
        }
        std::memcpy(out, buffer, sizeof(buffer));
        return true;
    }

  private:
    HKEY key_;
};

class Win32Registry final : public Registry {
  public:
    std::unique_ptr<RegistryKey> OpenCurrentUserKey(const char* path) override {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
            return nullptr;
        }
        return std::make_unique<Win32Key>(key);
    }
};

}  // namespace

Registry& PlatformRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace velmoria
