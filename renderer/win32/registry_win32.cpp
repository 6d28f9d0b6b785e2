// The registry on Windows: RegOpenKeyExA with full access, RegQueryValueExA into 4 bytes.
#include <windows.h>

#include <cstring>

#include "renderer/win32/registry_win32.h"

namespace velmoria {

namespace {

class KeyWin32 final : public RegistryKey {
  public:
    explicit KeyWin32(HKEY key) : key_(key) {}
    ~KeyWin32() override { RegCloseKey(key_); }
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

}  // namespace

std::unique_ptr<RegistryKey> RegistryWin32::OpenCurrentUserKey(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<KeyWin32>(key);
}

}  // namespace velmoria
