// The idle time of velmoria-idle: the line VELMORIA_IDLE_SECONDS=N of idle.conf, a file in the
// form systemd reads as an EnvironmentFile, so the user unit and a compositor's "exec" agree.
#pragma once

#include <cstdint>
#include <string>

namespace velmoria {

inline constexpr uint32_t kDefaultIdleSeconds = 600;
// The idle protocols take milliseconds in 32 bits.
inline constexpr uint32_t kMaxIdleSeconds = 4294967;

// A value of seconds: digits only, 1 to kMaxIdleSeconds. Otherwise false with `error` saying
// what is wrong with it.
bool ParseIdleSeconds(const std::string& value, uint32_t& seconds, std::string& error);

struct IdleSecondsReading {
    uint32_t seconds = kDefaultIdleSeconds;
    // Empty unless the file sets a value that is no idle time ("line 3: ...").
    std::string error;
};

// The file's text: blank lines and lines starting with '#' or ';' are skipped, the last
// VELMORIA_IDLE_SECONDS wins, its value may be quoted. Without one, the default, silently.
IdleSecondsReading IdleSecondsFromConfig(const std::string& text);

}  // namespace velmoria
