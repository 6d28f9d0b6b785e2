// The words of MCI command strings and replies: splitting a command into words, the time formats
// of positions (milliseconds, msf, tmsf) and the mode words.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace velmoria {

// A command split into words: blanks separate them, a word in double quotes may hold blanks.
struct MciWords {
    uint32_t error = 0;  // 0, or kNoClosingQuote / kExtraCharacters
    std::vector<std::string> words;
};
MciWords SplitMciWords(const std::string& command);

// Case-insensitive ASCII comparison, as MCI compares keywords and aliases.
bool MciSameWord(const std::string& a, const char* b);
bool MciSameWord(const std::string& a, const std::string& b);

enum class MciTimeFormat { Milliseconds, Msf, Tmsf };

// Positions of an audio CD count frames of 1/75 second.
constexpr uint32_t kCdFramesPerSecond = 75;

// Up to maxFields decimal byte values separated by colons ("3", "3:00:10:00"); false when the
// text is not of that form.
bool ParseColonFields(const std::string& text, int maxFields, uint32_t fields[4], int* count);
// A plain unsigned decimal number of 32 bits.
bool ParseDecimal(const std::string& text, uint32_t* value);

std::string FormatTmsf(uint32_t track, uint32_t minute, uint32_t second, uint32_t frame);
std::string FormatMsf(uint32_t minute, uint32_t second, uint32_t frame);
// An msf text of a frame count.
std::string FormatFramesAsMsf(uint32_t frames);

enum class MciMode { NotReady, Stopped, Playing, Paused, Seeking, Open };
// "not ready", "stopped", "playing", "paused", "seeking", "open".
const char* MciModeWord(MciMode mode);

}  // namespace velmoria
