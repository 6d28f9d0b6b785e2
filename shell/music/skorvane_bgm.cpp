// Skorvane_BGM. Sections: module state and text; command channel; CD audio; file playback.
#include "shell/music/skorvane_bgm.h"

#include <cstring>
#include <exception>
#include <stdexcept>

#include "shell/music/sound_player.h"
#include "shell/platform.h"
#include "shell/settings/settings_file.h"

namespace velmoria {

bool CdAlive = false;

namespace {

// ---- Module state and text ----

constexpr uint32_t kReplyLength = 512;
constexpr uint32_t kErrorTextLength = 256;
constexpr uint32_t kCdModeLength = 255;
constexpr uint32_t kMp3ModeLength = 30;
// Mode words are compared on this many characters of their buffer.
constexpr size_t kModeWordLength = 7;

// The program's text is code page 932 on Windows and UTF-8 on Linux.
#ifdef _WIN32
const char* const kEmptyCommandText =
    "\x83\x52\x83\x7d\x83\x93\x83\x68\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\x77\x92\xe8\x82\xb3"
    "\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
const char* const kNoErrorText =
    "Error (\x95\xb6\x8e\x9a\x97\xf1\x82\xaa\x8e\xe6\x82\xea\x82\xdc"
    "\x82\xb9\x82\xf1)";
#else
const char* const kEmptyCommandText = "コマンド文字列が指定されていません";
const char* const kNoErrorText = "Error (文字列が取れません)";
#endif

// Buffers reused by every call; the module itself never clears them.
struct BgmState {
    char reply[kReplyLength] = {};
    char errorText[kErrorTextLength] = {};
    std::string lastReply;
    int32_t errorCode = 0;
    char cdMode[kCdModeLength] = {};
    char mp3Mode[kMp3ModeLength] = {};
};

BgmState state;

BgmPlatform& Platform() {
    return ShellPlatform::Current().Music();
}

// A buffer's text up to its first NUL.
std::string Cut(const char* buffer, size_t length) {
    return std::string(buffer, strnlen(buffer, length));
}

// Sends into a buffer of the module, leaving the code in ApiResult.
uint32_t SendInto(const char* command, char* buffer, uint32_t length) {
    uint32_t code = Platform().MciSendString(command, buffer, length);
    ApiResult = static_cast<int32_t>(code);
    return code;
}

bool ModeWordIs(const char* buffer, const char* word) {
    return std::memcmp(buffer, word, kModeWordLength) == 0;
}

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

std::string Upper(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return text;
}

// A track number as the device reports it; anything else is a run-time failure of the step.
long TrackNumber(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    if (first == std::string::npos) {
        throw std::invalid_argument("empty track number");
    }
    std::string digits = text.substr(first, last - first + 1);
    size_t used = 0;
    long value = std::stol(digits, &used);  // throws when there is no number at all
    if (used != digits.size()) {
        throw std::invalid_argument("not a track number: " + text);
    }
    return value;
}

}  // namespace

void ResetBgmModule() {
    state = BgmState();
    CdAlive = false;
}

// ---- Command channel ----

int32_t MCI_Command(const std::string& command, std::string& reply) {
    if (command.empty()) {
        reply = kEmptyCommandText;
        ApiResult = -1;
        return -1;
    }
    state.errorCode = static_cast<int32_t>(SendInto(command.c_str(), state.reply, kReplyLength));
    if (state.errorCode != 0) {
        if (Platform().MciGetErrorString(static_cast<uint32_t>(state.errorCode), state.errorText,
                                         kErrorTextLength) != 0) {
            reply = Cut(state.errorText, kErrorTextLength);
        } else {
            reply = kNoErrorText;
        }
        return state.errorCode;
    }
    reply = Cut(state.reply, kReplyLength);
    return 0;
}

std::string MCI_Status(const std::string& command) {
    int32_t code = MCI_Command(command, state.lastReply);
    if (code != 0) {
        return "Error:" + std::to_string(code);
    }
    return state.lastReply;
}

int32_t MCI_Play(const std::string& device, const std::string& from, const std::string& to) {
    std::string command = "play " + device;
    if (!from.empty()) {
        command += " from " + from;
    }
    if (!to.empty()) {
        command += " to " + to;
    }
    return MCI_Command(command, state.lastReply);
}

void MCI_Send(const std::string& command) {
    SendInto(command.c_str(), nullptr, 0);
}

bool MCI_HasWaveOut() {
    return static_cast<int32_t>(Platform().WaveOutGetNumDevs()) > 0;
}

// ---- CD audio ----

void CD_Open() {
    MCI_Send("open cdaudio");
    MCI_Send("set cdaudio time format tmsf");
}

void CD_Check() {
    CdAlive = true;
    try {
        std::string track = Upper(MCI_Status("status cdaudio current track"));
        if (Contains(track, "ERR")) {
            CdAlive = false;
            return;
        }
        if (Contains(Upper(MCI_Status("status cdaudio number of tracks")), "ERR")) {
            CdAlive = false;
            return;
        }
        // A failed query leaves the buffer as it was: the step decides on the old mode.
        SendInto("status cdaudio mode", state.cdMode, kCdModeLength);
        bool stopped = ModeWordIs(state.cdMode, "stopped");
        if (BgmRepeat == 0) {
            if (stopped) {
                MCI_Play("cdaudio", "", "");
            }
            return;
        }
        // Both sides are evaluated, so a track reply that is no number fails the step.
        bool otherTrack = TrackNumber(track) != BgmRepeat;
        if (stopped || otherTrack) {
            std::string start =
                MCI_Status("status cdaudio position track " + std::to_string(BgmRepeat));
            MCI_Play("cdaudio", start, "");
        }
    } catch (const std::exception&) {
        CdAlive = false;
    }
}

void CD_Stop() {
    MCI_Send("stop cdaudio");
    MCI_Send("close cdaudio");
}

// ---- File playback ----

void MP3_Play() {
    // The quotes keep a path with blanks in one piece; only this outcome is examined.
    std::string open = "open \"" + BgmFile + "\" type MPEGVideo Alias MP3Play";
    if (SendInto(open.c_str(), nullptr, 0) == 0) {
        MCI_Send("play MP3Play");
    }
}

bool MP3_IsPlaying() {
    SendInto("status MP3Play mode", state.mp3Mode, kMp3ModeLength);
    return ModeWordIs(state.mp3Mode, "playing");
}

void MP3_Check() {
    if (MP3_IsPlaying()) {
        return;
    }
    MCI_Send("stop MP3Play");
    MCI_Send("play MP3Play from 0");
}

void MP3_Stop() {
    MCI_Send("stop MP3Play");
    MCI_Send("close MP3Play");
}

void WAV_Play() {
    if (!MCI_HasWaveOut()) {
        return;
    }
    ApiResult = Platform().PlaySoundName(BgmFile.c_str(), sound_flag::kAsync | sound_flag::kLoop);
}

void WAV_Stop() {
    ApiResult = Platform().PlaySoundName(nullptr, 0);
}

}  // namespace velmoria
