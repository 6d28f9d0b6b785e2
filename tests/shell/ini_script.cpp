// ini-script SCRIPT: runs a list of settings-file operations through GetIniString and
// WriteIniString (the Win32 profile functions on Windows, ours on Linux) and prints each result
// and each file's bytes afterwards, so that the two platforms' outputs can be compared.
// Lines: fields split by "|", bytes written as text with \xNN, \r, \n, \\ and \| escapes, all
// in code page 932 (the Linux side converts to and from its UTF-8):
//   file|NAME|BYTES   write a file      remove|NAME   remove it
//   get|NAME|SECTION|KEY                set|NAME|SECTION|KEY|VALUE
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "shell/settings/settings_file.h"
#include "tools/binary_stdout.h"
#include "tools/native_shell_platform.h"

#ifdef _WIN32
#include <windows.h>
#else
#include "shell/posix/text_codec_iconv.h"
#endif

namespace {

std::string Unescape(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 >= s.size()) {
            out += s[i];
            continue;
        }
        const char c = s[++i];
        if (c == 'x' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += c == 'r' ? '\r' : c == 'n' ? '\n' : c;
        }
    }
    return out;
}

std::string Escape(const std::string& bytes) {
    std::string out;
    for (const unsigned char c : bytes) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof(hex), "\\x%02X", c);
            out += hex;
        }
    }
    return out;
}

std::vector<std::string> Split(const std::string& line) {
    std::vector<std::string> fields(1);
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '\\' && i + 1 < line.size() && line[i + 1] == '|') {
            fields.back() += '|';
            ++i;
        } else if (line[i] == '|') {
            fields.emplace_back();
        } else {
            fields.back() += line[i];
        }
    }
    return fields;
}

// The program's text from code page 932 bytes, and back.
#ifdef _WIN32
std::string ToProgram(const std::string& cp932) {
    return cp932;
}
std::string FromProgram(const std::string& text) {
    return text;
}
std::string PathOf(const std::string& name) {
    return ".\\" + name;
}
#else
velmoria::TextCodecIconv codec;
std::string ToProgram(const std::string& cp932) {
    return codec.Utf16ToUtf8(codec.Cp932ToUtf16(cp932));
}
std::string FromProgram(const std::string& text) {
    std::u16string wide;
    std::string bytes;
    codec.Utf8ToUtf16(text, wide);
    codec.Utf16ToCp932(wide, bytes);
    return bytes;
}
std::string PathOf(const std::string& name) {
    return "./" + name;
}
#endif

std::string FileBytes(const std::string& name) {
    if (std::filesystem::is_directory(name)) {
        return "(folder)";
    }
    std::ifstream in(name, std::ios::binary);
    if (!in) {
        return "(no file)";
    }
    return Escape(std::string(std::istreambuf_iterator<char>(in), {}));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: ini-script SCRIPT\n");
        return 2;
    }
    UseBinaryStdout();
    velmoria::NativeShellPlatform platform;
    velmoria::ShellPlatform::Connect(&platform);
    std::ifstream script(argv[1], std::ios::binary);
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::vector<std::string> f = Split(line);
        const std::string path = f.size() > 1 ? PathOf(f[1]) : "";
        if (f[0] == "file" && f.size() == 3) {
            std::ofstream(f[1], std::ios::binary) << Unescape(f[2]);
        } else if (f[0] == "remove" && f.size() == 2) {
            std::remove(f[1].c_str());
        } else if (f[0] == "get" && f.size() == 4) {
            const std::string value =
                velmoria::GetIniString(ToProgram(Unescape(f[2])), ToProgram(Unescape(f[3])), path);
            std::printf("%s\n  -> [%s]\n", line.c_str(), Escape(FromProgram(value)).c_str());
        } else if (f[0] == "set" && f.size() == 5) {
            velmoria::WriteIniString(ToProgram(Unescape(f[2])), ToProgram(Unescape(f[3])),
                                     ToProgram(Unescape(f[4])), path);
            std::printf("%s\n  -> %s\n  file %s\n", line.c_str(),
                        velmoria::ApiResult != 0 ? "written" : "failed", FileBytes(f[1]).c_str());
        } else {
            std::printf("bad line: %s\n", line.c_str());
            return 2;
        }
#ifdef _WIN32
        // Forget the cached file, so that every operation starts from the bytes on disk.
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, path.c_str());
#endif
    }
    return 0;
}
