// Parsing of velmoria-record's options.
#include "record_options.h"

#include <cerrno>
#include <cstdlib>

namespace velmoria {

const char kRecordUsage[] =
    "usage: velmoria-record [--size WxH] [--frames N] [--every K] [--sprite FILE] [--out DIR]\n";

namespace {

// A whole decimal number from 1 to `limit`, nothing else.
bool ParseCount(const std::string& text, long limit, int32_t& value) {
    if (text.empty() || text[0] < '0' || text[0] > '9') {
        return false;
    }
    errno = 0;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < 1 || parsed > limit) {
        return false;
    }
    value = static_cast<int32_t>(parsed);
    return true;
}

// The largest side a pbuffer is asked for.
constexpr long kMaxSide = 16384;

}  // namespace

bool ParseRecordOptions(int argc, const char* const* argv, RecordOptions& options,
                        std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option != "--size" && option != "--frames" && option != "--every" &&
            option != "--sprite" && option != "--out") {
            error = "unknown option " + option;
            return false;
        }
        if (i + 1 >= argc) {
            error = option + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        if (option == "--size") {
            const size_t x = value.find('x');
            if (x == std::string::npos ||
                !ParseCount(value.substr(0, x), kMaxSide, options.width) ||
                !ParseCount(value.substr(x + 1), kMaxSide, options.height)) {
                error = "--size wants WIDTHxHEIGHT, each 1 to 16384, not " + value;
                return false;
            }
        } else if (option == "--frames") {
            if (!ParseCount(value, 100000000, options.frames)) {
                error = "--frames wants a whole number of at least 1, not " + value;
                return false;
            }
        } else if (option == "--every") {
            if (!ParseCount(value, 100000000, options.every)) {
                error = "--every wants a whole number of at least 1, not " + value;
                return false;
            }
        } else if (option == "--sprite") {
            options.sprite = value;
        } else if (option == "--out") {
            if (value.empty()) {
                error = "--out wants a folder";
                return false;
            }
            options.outDir = value;
        }
    }
    return true;
}

}  // namespace velmoria
