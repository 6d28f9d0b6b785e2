#include "packaging/windows/our_windows.h"

#include <string>

namespace velmoria {
namespace {

// The form of a path in which two names of one file are equal.
std::string Comparable(std::string_view path) {
    if (path.substr(0, 4) == "\\\\?\\" || path.substr(0, 4) == "//?/") {
        path.remove_prefix(4);
    }
    std::string out(path);
    for (char& c : out) {
        if (c == '/') {
            c = '\\';
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

}  // namespace

bool IsOurProgram(std::string_view image, std::string_view folder) {
    std::string prefix = Comparable(folder);
    while (!prefix.empty() && prefix.back() == '\\') {
        prefix.pop_back();
    }
    if (prefix.empty()) {
        return false;
    }
    prefix += '\\';
    const std::string program = Comparable(image);
    return program == prefix + "velmoria.scr" || program == prefix + "velmoria.dll";
}

bool IsOurWindowTitle(std::string_view title) {
    return title == "Skorvane_Main" || title == "Skorvane_VC" || title == "<Velmoria>" ||
           title == "Preview Window";
}

bool IsOurWindow(std::string_view title, std::string_view image, std::string_view folder) {
    return IsOurWindowTitle(title) && IsOurProgram(image, folder);
}

}  // namespace velmoria
