// Runs Skorvane_BGM's procedures on the platform's real entry points, one action per line of a
// script, and prints each action with its outcome and, indented, every entry-point call it made
// with code and reply. The end-to-end and differential tests run it on both platforms.
//
//   send COMMAND          MCI_Command: code and reply
//   status COMMAND        MCI_Status
//   play DEVICE|FROM|TO   MCI_Play
//   file PATH             BgmFile
//   repeat N              BgmRepeat
//   mp3-play, mp3-playing, mp3-check, mp3-stop, wav-play, wav-stop, wave-out,
//   cd-open, cd-check (prints CdAlive), cd-stop
//   wait ALIAS MODE SECONDS   polls "status ALIAS mode" quietly until it answers MODE
//   sleep MILLISECONDS
// Lines that are empty or start with # are skipped.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

#include "shell/music/skorvane_bgm.h"
#include "shell/settings/settings_file.h"
#include "tests/support/fake_shell_platform.h"

namespace velmoria {
namespace {

// Forwards to the system's entry points and prints every call.
class TracingPlatform final : public BgmPlatform {
  public:
    uint32_t MciSendString(const char* command, char* reply, uint32_t length) override {
        uint32_t code = system_.MciSendString(command, reply, length);
        std::printf("  mciSendString %s [%u] -> %u", command, length, code);
        if (code == 0 && reply != nullptr && length > 0) {
            std::printf(" \"%.*s\"", static_cast<int>(strnlen(reply, length)), reply);
        }
        std::printf("\n");
        return code;
    }
    int32_t MciGetErrorString(uint32_t code, char* text, uint32_t length) override {
        int32_t result = system_.MciGetErrorString(code, text, length);
        std::printf("  mciGetErrorString %u [%u] -> %s\n", code, length,
                    result != 0 ? "text" : "none");
        return result;
    }
    uint32_t WaveOutGetNumDevs() override {
        uint32_t count = system_.WaveOutGetNumDevs();
        std::printf("  waveOutGetNumDevs -> %s\n", count > 0 ? "some" : "0");
        return count;
    }
    int32_t PlaySoundName(const char* sound, uint32_t flags) override {
        int32_t result = system_.PlaySoundName(sound, flags);
        std::printf("  PlaySound %s %u -> %s\n", sound != nullptr ? sound : "(none)", flags,
                    result != 0 ? "ok" : "failed");
        return result;
    }

  private:
    BgmPlatform& system_ = ShellPlatform::Current().Music();
};

// The system's entry points, untraced.
BgmPlatform* systemMusic = nullptr;

bool Wait(const std::string& alias, const std::string& mode, double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::string command = "status " + alias + " mode";
    do {
        char reply[64] = {};
        if (systemMusic->MciSendString(command.c_str(), reply, sizeof reply) == 0 &&
            mode == reply) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < end);
    return false;
}

const char* YesNo(bool value) {
    return value ? "true" : "false";
}

void Run(const std::string& line) {
    size_t blank = line.find(' ');
    std::string action = line.substr(0, blank);
    std::string rest = blank == std::string::npos ? "" : line.substr(blank + 1);
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
    std::string result;
    if (action == "send") {
        std::string reply;
        int32_t code = MCI_Command(rest, reply);
        result = std::to_string(code) + " \"" + reply + "\"";
    } else if (action == "status") {
        result = "\"" + MCI_Status(rest) + "\"";
    } else if (action == "play") {
        size_t a = rest.find('|');
        size_t b = rest.find('|', a + 1);
        result = std::to_string(
            MCI_Play(rest.substr(0, a), rest.substr(a + 1, b - a - 1), rest.substr(b + 1)));
    } else if (action == "file") {
        BgmFile = rest;
    } else if (action == "repeat") {
        BgmRepeat = static_cast<int16_t>(std::atoi(rest.c_str()));
    } else if (action == "mp3-play") {
        MP3_Play();
        result = "ApiResult " + std::to_string(ApiResult);
    } else if (action == "mp3-playing") {
        result = YesNo(MP3_IsPlaying());
    } else if (action == "mp3-check") {
        MP3_Check();
    } else if (action == "mp3-stop") {
        MP3_Stop();
    } else if (action == "wav-play") {
        ApiResult = -1;
        WAV_Play();
        result = "ApiResult " + std::to_string(ApiResult);
    } else if (action == "wav-stop") {
        WAV_Stop();
        result = "ApiResult " + std::to_string(ApiResult);
    } else if (action == "wave-out") {
        result = YesNo(MCI_HasWaveOut());
    } else if (action == "cd-open") {
        CD_Open();
    } else if (action == "cd-check") {
        CD_Check();
        result = std::string("CdAlive ") + YesNo(CdAlive);
    } else if (action == "cd-stop") {
        CD_Stop();
    } else if (action == "wait") {
        size_t a = rest.find(' ');
        size_t b = rest.find(' ', a + 1);
        result = YesNo(Wait(rest.substr(0, a), rest.substr(a + 1, b - a - 1),
                            std::atof(rest.substr(b + 1).c_str())));
    } else if (action == "sleep") {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(rest.c_str())));
    } else {
        result = "unknown action";
    }
    if (!result.empty()) {
        std::printf("= %s\n", result.c_str());
    }
    std::fflush(stdout);
}

}  // namespace
}  // namespace velmoria

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: bgm-driver SCRIPT\n");
        return 2;
    }
    std::ifstream script(argv[1], std::ios::binary);
    if (!script) {
        std::fprintf(stderr, "bgm-driver: cannot read %s\n", argv[1]);
        return 2;
    }
    // The system's own entry points, each call traced on its way through.
    velmoria::NativeShellPlatform native;
    velmoria::ShellPlatform::Connect(&native);
    velmoria::systemMusic = &native.Music();
    velmoria::TracingPlatform tracing;
    velmoria::test::FakeShellPlatform traced;
    traced.music = &tracing;
    velmoria::ShellPlatform::Connect(&traced);
    std::string line;
    while (std::getline(script, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty() || line[0] == '#') {
            continue;
        }
        velmoria::Run(line);
    }
    velmoria::ShellPlatform::Connect(&native);
    return 0;
}
