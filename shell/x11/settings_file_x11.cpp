// The settings file on Linux: our profile functions over ProfileText. The file's bytes are code
// page 932 (or UTF-8 / UTF-16 after a byte-order mark, as the platform reads them); a write goes
// to a temporary file beside it that is then renamed into place, so that it never loses the rest.
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

#include "../helpers.h"
#include "../profile_text.h"
#include "../settings_file.h"
#include "text_codec_x11.h"
#include "xdg_x11.h"

namespace velmoria {

namespace {

constexpr size_t kValueBuffer = 256;

enum class Encoding { Cp932, Utf8, Utf16Le, Utf16Be };

struct LoadedFile {
    // False for a file that is there but cannot be read (a folder, no permission); a missing
    // file is usable and empty.
    bool usable = false;
    Encoding encoding = Encoding::Cp932;
    std::u16string text;
};

bool ReadAll(const std::string& path, std::string& bytes, bool& missing) {
    missing = false;
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        missing = errno == ENOENT || errno == ENOTDIR;
        return false;
    }
    struct stat info {};
    bool ok = fstat(fd, &info) == 0 && !S_ISDIR(info.st_mode);
    char chunk[65536];
    while (ok) {
        const ssize_t n = read(fd, chunk, sizeof(chunk));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(chunk, static_cast<size_t>(n));
    }
    close(fd);
    return ok;
}

std::u16string FromUtf16(std::string_view bytes, bool bigEndian) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto a = static_cast<uint8_t>(bytes[i]);
        const auto b = static_cast<uint8_t>(bytes[i + 1]);
        text += static_cast<char16_t>(bigEndian ? (a << 8) | b : a | (b << 8));
    }
    return text;
}

LoadedFile Load(const std::string& path) {
    LoadedFile file;
    std::string bytes;
    bool missing = false;
    if (!ReadAll(path, bytes, missing)) {
        file.usable = missing;
        return file;
    }
    file.usable = true;
    const std::string_view view(bytes);
    if (view.substr(0, 3) == "\xEF\xBB\xBF") {
        file.encoding = Encoding::Utf8;
        std::u16string text;
        // Broken UTF-8 is read as code page 932 rather than as nothing.
        file.text = Utf8ToUtf16(view.substr(3), text) ? text : Cp932ToUtf16(view.substr(3));
    } else if (view.substr(0, 2) == "\xFF\xFE") {
        file.encoding = Encoding::Utf16Le;
        file.text = FromUtf16(view.substr(2), false);
    } else if (view.substr(0, 2) == "\xFE\xFF") {
        file.encoding = Encoding::Utf16Be;
        file.text = FromUtf16(view.substr(2), true);
    } else {
        file.text = Cp932ToUtf16(view);
    }
    return file;
}

bool Encode(const std::u16string& text, Encoding encoding, std::string& bytes) {
    switch (encoding) {
        case Encoding::Cp932:
            return Utf16ToCp932(text, bytes);
        case Encoding::Utf8:
            bytes = "\xEF\xBB\xBF" + Utf16ToUtf8(text);
            return true;
        case Encoding::Utf16Le:
        case Encoding::Utf16Be: {
            const bool big = encoding == Encoding::Utf16Be;
            bytes = big ? "\xFE\xFF" : "\xFF\xFE";
            for (const char16_t c : text) {
                const char hi = static_cast<char>(c >> 8);
                const char lo = static_cast<char>(c & 0xFF);
                bytes += big ? hi : lo;
                bytes += big ? lo : hi;
            }
            return true;
        }
    }
    return false;
}

// Creates the missing folders above a file, readable by the user alone.
void MakeParents(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        mkdir(path.substr(0, slash).c_str(), 0700);
    }
}

bool WriteAll(int fd, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// Replaces the file's contents through a temporary file in the same folder.
bool Replace(const std::string& path, const std::string& bytes) {
    std::string target = path;
    char resolved[PATH_MAX];
    struct stat info {};
    const bool exists = lstat(path.c_str(), &info) == 0;
    if (exists && S_ISLNK(info.st_mode) && realpath(path.c_str(), resolved) != nullptr) {
        target = resolved;  // write through a link, not over it
    }
    const bool targetExists = stat(target.c_str(), &info) == 0;
    // A file the user may not write stays as it is, as the platform's open for writing fails.
    if (targetExists && access(target.c_str(), W_OK) != 0) {
        return false;
    }
    std::string temporary = FolderOf(target, PathStyle::Posix);
    temporary += temporary == "/" ? "" : "/";
    temporary += ".Velmoria.ini.XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    const mode_t mode = targetExists ? (info.st_mode & 07777) : 0644;
    bool ok = fchmod(fd, mode) == 0 && WriteAll(fd, bytes) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    ok = ok && rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        unlink(temporary.c_str());
    }
    return ok;
}

}  // namespace

std::string GetIniString(const std::string& section, const std::string& key,
                         const std::string& file) {
    std::u16string sectionW;
    std::u16string keyW;
    if (!Utf8ToUtf16(section, sectionW) || !Utf8ToUtf16(key, keyW)) {
        return {};
    }
    const LoadedFile loaded = Load(file);
    const std::u16string value = ProfileText::Parse(loaded.text).Get(sectionW, keyW, kValueBuffer);
    // The value as the narrow call gives it: whole characters within 255 bytes of code page 932.
    size_t bytes = 0;
    size_t keep = 0;
    while (keep < value.size() && bytes + Cp932Length(value[keep]) <= kValueBuffer - 1) {
        bytes += Cp932Length(value[keep]);
        ++keep;
    }
    return Utf16ToUtf8(std::u16string_view(value).substr(0, keep));
}

void WriteIniString(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file) {
    ApiResult = 0;
    std::u16string sectionW;
    std::u16string keyW;
    std::u16string valueW;
    if (!Utf8ToUtf16(section, sectionW) || !Utf8ToUtf16(key, keyW) || !Utf8ToUtf16(value, valueW)) {
        return;
    }
    const LoadedFile loaded = Load(file);
    if (!loaded.usable) {
        return;
    }
    ProfileText profile = ProfileText::Parse(loaded.text);
    std::string unused;
    // A name or value the file's code page cannot hold is refused; the file stays as it was.
    if (loaded.encoding == Encoding::Cp932 &&
        (!Utf16ToCp932(sectionW, unused) || !Utf16ToCp932(keyW, unused) ||
         !Utf16ToCp932(valueW, unused))) {
        return;
    }
    if (!profile.Set(sectionW, keyW, valueW)) {
        ApiResult = 1;  // no change needed: the file is left untouched
        return;
    }
    std::string bytes;
    if (!Encode(profile.Serialize(), loaded.encoding, bytes)) {
        return;
    }
    MakeParents(file);
    ApiResult = Replace(file, bytes) ? 1 : 0;
}

std::string ProgramFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof(path) - 1);
    return n > 0 ? FolderOf(std::string(path, static_cast<size_t>(n)), PathStyle::Posix) : ".";
}

std::string SettingsFilePath() {
    return XdgFolder("XDG_CONFIG_HOME", "/.config") + "/velmoria/Velmoria.ini";
}

}  // namespace velmoria
