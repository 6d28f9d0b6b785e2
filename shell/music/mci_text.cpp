// Splitting command strings, positions in the three time formats, mode words.
#include "shell/music/mci_text.h"

#include <cstdio>

#include "shell/music/mci_errors.h"

namespace velmoria {

namespace {

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

MciWords SplitMciWords(const std::string& command) {
    MciWords result;
    size_t at = 0;
    const size_t end = command.size();
    while (at < end) {
        if (command[at] == ' ') {
            ++at;
            continue;
        }
        if (command[at] == '"') {
            size_t close = command.find('"', at + 1);
            if (close == std::string::npos) {
                result.error = mci_error::kNoClosingQuote;
                return result;
            }
            if (close + 1 < end && command[close + 1] != ' ') {
                result.error = mci_error::kExtraCharacters;
                return result;
            }
            result.words.push_back(command.substr(at + 1, close - at - 1));
            at = close + 1;
            continue;
        }
        size_t stop = command.find(' ', at);
        if (stop == std::string::npos) {
            stop = end;
        }
        result.words.push_back(command.substr(at, stop - at));
        at = stop;
    }
    return result;
}

bool MciSameWord(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size(); ++i) {
        if (b[i] == '\0' || LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return b[i] == '\0';
}

bool MciSameWord(const std::string& a, const std::string& b) {
    return a.size() == b.size() && MciSameWord(a, b.c_str());
}

bool ParseColonFields(const std::string& text, int maxFields, uint32_t fields[4], int* count) {
    int n = 0;
    size_t at = 0;
    if (maxFields > 4) {
        maxFields = 4;
    }
    while (true) {
        if (n == maxFields || at >= text.size() || text[at] < '0' || text[at] > '9') {
            return false;
        }
        uint32_t value = 0;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            value = value * 10 + static_cast<uint32_t>(text[at] - '0');
            if (value > 255) {
                return false;
            }
            ++at;
        }
        fields[n++] = value;
        if (at == text.size()) {
            break;
        }
        if (text[at] != ':') {
            return false;
        }
        ++at;
    }
    *count = n;
    return true;
}

bool ParseDecimal(const std::string& text, uint32_t* value) {
    if (text.empty()) {
        return false;
    }
    uint64_t total = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        total = total * 10 + static_cast<uint64_t>(c - '0');
        if (total > 0xFFFFFFFFull) {
            return false;
        }
    }
    *value = static_cast<uint32_t>(total);
    return true;
}

std::string FormatTmsf(uint32_t track, uint32_t minute, uint32_t second, uint32_t frame) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u:%02u", track, minute, second, frame);
    return text;
}

std::string FormatMsf(uint32_t minute, uint32_t second, uint32_t frame) {
    char text[32];
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", minute, second, frame);
    return text;
}

std::string FormatFramesAsMsf(uint32_t frames) {
    return FormatMsf(frames / (60 * kCdFramesPerSecond), frames / kCdFramesPerSecond % 60,
                     frames % kCdFramesPerSecond);
}

const char* MciModeWord(MciMode mode) {
    switch (mode) {
        case MciMode::NotReady:
            return "not ready";
        case MciMode::Stopped:
            return "stopped";
        case MciMode::Playing:
            return "playing";
        case MciMode::Paused:
            return "paused";
        case MciMode::Seeking:
            return "seeking";
        case MciMode::Open:
            return "open";
    }
    return "not ready";
}

}  // namespace velmoria
