// The command line of velmoria-record.
#pragma once

#include <cstdint>
#include <string>

namespace velmoria {

struct RecordOptions {
    int32_t width = 1024;
    int32_t height = 768;
    int32_t frames = 600;
    int32_t every = 1;   // save frames every, 2 * every, ...; frame 1 is the first drawn
    std::string sprite;  // empty: the platform's sprite path
    std::string outDir = "out";
};

// Parses argv[1..]; returns false with a message in `error` for anything it does not accept.
bool ParseRecordOptions(int argc, const char* const* argv, RecordOptions& options,
                        std::string& error);

extern const char kRecordUsage[];

}  // namespace velmoria
