// A read-only registry held in a Windows .reg text file ("REGEDIT4" or "Windows Registry
// Editor Version 5.00"): the Linux stand-in for the current user's registry. Values come back as
// the raw bytes RegQueryValueExA would give (a string's bytes plus its terminating NUL).
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "registry.h"

namespace velmoria {

class RegistryFile final : public Registry {
  public:
    // Parses .reg text. A text without the .reg first line holds no keys; a malformed line is
    // skipped. Only keys under HKEY_CURRENT_USER are kept.
    static RegistryFile Parse(std::string_view text);
    // Reads and parses a file; a missing or unreadable one holds no keys.
    static RegistryFile Load(const std::string& path);

    std::unique_ptr<RegistryKey> OpenCurrentUserKey(const char* path) override;

    // The data of a value, or null. Key paths and value names are case-insensitive.
    const std::vector<uint8_t>* Find(std::string_view keyPath, std::string_view valueName) const;

  private:
    using Values = std::map<std::string, std::vector<uint8_t>>;
    std::map<std::string, Values> keys_;  // by lower-cased path below HKEY_CURRENT_USER
};

}  // namespace velmoria
