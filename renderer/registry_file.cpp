// Parsing .reg text: sections, the three value forms the renderer meets (dword, string, hex),
// deletions, continuation lines, and UTF-16 files as regedit writes them.
#include "registry_file.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace velmoria {

namespace {

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

void AppendUtf8(std::string& out, uint32_t u) {
    if (u < 0x80) {
        out += static_cast<char>(u);
    } else if (u < 0x800) {
        out += static_cast<char>(0xC0 | (u >> 6));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else if (u < 0x10000) {
        out += static_cast<char>(0xE0 | (u >> 12));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (u >> 18));
        out += static_cast<char>(0x80 | ((u >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (u & 0x3F));
    }
}

// UTF-16LE bytes as UTF-8: surrogate pairs joined, a lone surrogate as U+FFFD, an odd last byte
// dropped. NULs stay (they end the strings of a multi-string value).
std::string Utf8FromUtf16Le(std::string_view bytes) {
    std::string out;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        uint32_t u = static_cast<uint8_t>(bytes[i]) | (static_cast<uint8_t>(bytes[i + 1]) << 8);
        if (u >= 0xD800 && u <= 0xDBFF && i + 3 < bytes.size()) {
            const uint32_t low =
                static_cast<uint8_t>(bytes[i + 2]) | (static_cast<uint8_t>(bytes[i + 3]) << 8);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        AppendUtf8(out, u >= 0xD800 && u <= 0xDFFF ? 0xFFFD : u);
    }
    return out;
}

// Reads a quoted name or string with \\ and \" escapes; `s` starts at the opening quote.
bool ReadQuoted(std::string_view& s, std::string& out) {
    if (s.empty() || s.front() != '"') {
        return false;
    }
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            out += s[++i];
        } else if (s[i] == '"') {
            s.remove_prefix(i + 1);
            return true;
        } else {
            out += s[i];
        }
    }
    return false;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool ParseHexBytes(std::string_view s, std::vector<uint8_t>& out) {
    s = Trim(s);
    while (!s.empty()) {
        const size_t comma = s.find(',');
        const std::string_view item = Trim(s.substr(0, comma));
        if (item.empty() || item.size() > 2) {
            return false;
        }
        int value = 0;
        for (char c : item) {
            const int d = HexDigit(c);
            if (d < 0) {
                return false;
            }
            value = value * 16 + d;
        }
        out.push_back(static_cast<uint8_t>(value));
        if (comma == std::string_view::npos) {
            break;
        }
        s.remove_prefix(comma + 1);
    }
    return true;
}

enum class Data { Value, Delete, Invalid };

// The string types (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ) when written as hex(1), hex(2), hex(7).
bool IsStringType(std::string_view lowerPrefix) {
    return lowerPrefix == "hex(1)" || lowerPrefix == "hex(2)" || lowerPrefix == "hex(7)";
}

// `version5`: the file is a "Windows Registry Editor Version 5.00" one, whose hex strings are
// UTF-16; RegQueryValueExA gives them in the narrow code page, as the string form already is.
Data ParseData(std::string_view s, bool version5, std::vector<uint8_t>& out) {
    s = Trim(s);
    if (s == "-") {
        return Data::Delete;
    }
    if (!s.empty() && s.front() == '"') {
        std::string text;
        if (!ReadQuoted(s, text) || !Trim(s).empty()) {
            return Data::Invalid;
        }
        out.assign(text.begin(), text.end());
        out.push_back(0);  // the terminating NUL is part of a string's data
        return Data::Value;
    }
    const std::string lower = Lower(s.substr(0, 6));  // enough for "dword:" and "hex(N)"
    if (lower == "dword:") {
        const std::string_view digits = s.substr(6);
        if (digits.empty() || digits.size() > 8) {
            return Data::Invalid;
        }
        uint32_t v = 0;
        for (char c : digits) {
            const int d = HexDigit(c);
            if (d < 0) {
                return Data::Invalid;
            }
            v = v * 16 + static_cast<uint32_t>(d);
        }
        out = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
               static_cast<uint8_t>(v >> 24)};
        return Data::Value;
    }
    if (lower.compare(0, 4, "hex:") == 0 || lower.compare(0, 4, "hex(") == 0) {
        const size_t colon = s.find(':');
        if (colon == std::string_view::npos || !ParseHexBytes(s.substr(colon + 1), out)) {
            return Data::Invalid;
        }
        if (version5 && IsStringType(Lower(Trim(s.substr(0, colon))))) {
            const std::string narrow = Utf8FromUtf16Le(
                std::string_view(reinterpret_cast<const char*>(out.data()), out.size()));
            out.assign(narrow.begin(), narrow.end());
        }
        return Data::Value;
    }
    return Data::Invalid;
}

class FileKey final : public RegistryKey {
  public:
    FileKey(const RegistryFile& file, std::string path) : file_(file), path_(std::move(path)) {}
    bool QueryFourBytes(const char* name, uint8_t out[4]) override {
        const std::vector<uint8_t>* data = file_.Find(path_, name);
        if (data == nullptr || data->size() > 4) {
            return false;
        }
        std::memset(out, 0, 4);
        if (!data->empty()) {
            std::memcpy(out, data->data(), data->size());
        }
        return true;
    }

  private:
    const RegistryFile& file_;
    std::string path_;
};

constexpr std::string_view kCurrentUser = "hkey_current_user";

}  // namespace

RegistryFile RegistryFile::Parse(std::string_view raw) {
    RegistryFile file;
    std::string converted;
    if (raw.size() >= 2 && static_cast<uint8_t>(raw[0]) == 0xFF &&
        static_cast<uint8_t>(raw[1]) == 0xFE) {
        converted = Utf8FromUtf16Le(raw.substr(2));
        raw = converted;
    }
    if (raw.size() >= 3 && raw.substr(0, 3) == "\xEF\xBB\xBF") {
        raw.remove_prefix(3);
    }
    // Lines, with a trailing backslash joining the next one (long hex values).
    std::vector<std::string> lines;
    std::string pending;
    size_t at = 0;
    while (at <= raw.size()) {
        size_t end = raw.find('\n', at);
        if (end == std::string_view::npos) {
            end = raw.size();
        }
        std::string_view line = Trim(raw.substr(at, end - at));
        at = end + 1;
        if (!line.empty() && line.back() == '\\') {
            line.remove_suffix(1);
            pending += std::string(line);
            continue;
        }
        if (!pending.empty()) {
            pending += std::string(line);
            lines.push_back(std::move(pending));
            pending.clear();
        } else {
            lines.emplace_back(line);
        }
    }
    const bool version5 = !lines.empty() && lines[0] == "Windows Registry Editor Version 5.00";
    if (lines.empty() || (lines[0] != "REGEDIT4" && !version5)) {
        return file;
    }
    Values* current = nullptr;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string_view line = lines[i];
        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            current = nullptr;
            if (line.back() != ']') {
                continue;
            }
            std::string_view path = line.substr(1, line.size() - 2);
            const bool remove = !path.empty() && path.front() == '-';
            if (remove) {
                path.remove_prefix(1);
            }
            std::string lower = Lower(Trim(path));
            if (lower.compare(0, kCurrentUser.size(), kCurrentUser) != 0 ||
                (lower.size() > kCurrentUser.size() && lower[kCurrentUser.size()] != '\\')) {
                continue;
            }
            lower.erase(0, std::min(lower.size(), kCurrentUser.size() + 1));
            if (remove) {
                for (auto it = file.keys_.begin(); it != file.keys_.end();) {
                    const bool below = it->first == lower ||
                                       it->first.compare(0, lower.size() + 1, lower + "\\") == 0;
                    it = below ? file.keys_.erase(it) : std::next(it);
                }
                continue;
            }
            // A key's ancestors exist too.
            for (size_t slash = lower.find('\\'); slash != std::string::npos;
                 slash = lower.find('\\', slash + 1)) {
                file.keys_[lower.substr(0, slash)];
            }
            current = &file.keys_[lower];
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        std::string name;
        if (line.front() == '@') {
            line.remove_prefix(1);
        } else if (!ReadQuoted(line, name)) {
            continue;
        }
        line = Trim(line);
        if (line.empty() || line.front() != '=') {
            continue;
        }
        std::vector<uint8_t> data;
        switch (ParseData(line.substr(1), version5, data)) {
            case Data::Value:
                (*current)[Lower(name)] = std::move(data);
                break;
            case Data::Delete:
                current->erase(Lower(name));
                break;
            case Data::Invalid:
                break;
        }
    }
    return file;
}

RegistryFile RegistryFile::Load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return RegistryFile();
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return Parse(text);
}

std::unique_ptr<RegistryKey> RegistryFile::OpenCurrentUserKey(const char* path) {
    std::string lower = Lower(path);
    if (keys_.find(lower) == keys_.end()) {
        return nullptr;
    }
    return std::make_unique<FileKey>(*this, std::move(lower));
}

const std::vector<uint8_t>* RegistryFile::Find(std::string_view keyPath,
                                               std::string_view valueName) const {
    const auto key = keys_.find(Lower(keyPath));
    if (key == keys_.end()) {
        return nullptr;
    }
    const auto value = key->second.find(Lower(valueName));
    return value == key->second.end() ? nullptr : &value->second;
}

}  // namespace velmoria
