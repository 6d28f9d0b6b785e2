#include "idle/idle_config.h"

#include <sstream>

namespace velmoria {

namespace {

constexpr char kKey[] = "VELMORIA_IDLE_SECONDS";

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string Unquoted(const std::string& value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        return value.substr(1, value.size() - 2);
    }
    return value;
}

}  // namespace

bool ParseIdleSeconds(const std::string& value, uint32_t& seconds, std::string& error) {
    const std::string range =
        " (a whole number of seconds from 1 to " + std::to_string(kMaxIdleSeconds) + ")";
    if (value.empty()) {
        error = "no idle time given" + range;
        return false;
    }
    uint64_t n = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') {
            error = "\"" + value + "\" is no idle time" + range;
            return false;
        }
        n = n * 10 + static_cast<uint64_t>(c - '0');
        if (n > kMaxIdleSeconds) {
            error = "\"" + value + "\" is too long an idle time" + range;
            return false;
        }
    }
    if (n == 0) {
        error = "an idle time of 0 seconds" + range;
        return false;
    }
    seconds = static_cast<uint32_t>(n);
    return true;
}

IdleSecondsReading IdleSecondsFromConfig(const std::string& text) {
    IdleSecondsReading reading;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        line = Trimmed(line);
        if (line.empty() || line[0] == '#' || line[0] == ';') {
            continue;
        }
        const auto equals = line.find('=');
        if (equals == std::string::npos || Trimmed(line.substr(0, equals)) != kKey) {
            continue;
        }
        std::string error;
        uint32_t seconds = 0;
        if (ParseIdleSeconds(Unquoted(Trimmed(line.substr(equals + 1))), seconds, error)) {
            reading.seconds = seconds;
            reading.error.clear();
        } else {
            reading.seconds = kDefaultIdleSeconds;
            reading.error = "line " + std::to_string(number) + ": " + kKey + ": " + error;
        }
    }
    return reading;
}

}  // namespace velmoria
