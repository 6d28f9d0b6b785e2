// A scripted stand-in for the four entry points of Skorvane_BGM: each command string gets the
// answers the test sets for it, and every call is recorded in order with what it was given.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "shell/music/bgm_platform.h"

namespace velmoria {

struct ScriptedSend {
    std::string command;
    bool hasBuffer = false;
    uint32_t length = 0;
    uint32_t code = 0;
    std::string reply;  // what was written into the buffer
};

struct ScriptedSound {
    bool hasName = false;
    std::string name;
    uint32_t flags = 0;
};

class ScriptedBgmPlatform final : public BgmPlatform {
  public:
    struct Answer {
        uint32_t code = 0;
        std::string reply;  // written with its NUL on success, as far as the buffer holds it
        bool used = false;
    };

    // Queues an answer for a command. The last answer of a queue repeats until another is
    // queued. Commands without answers succeed with an empty reply.
    void Script(const std::string& command, uint32_t code, const std::string& reply = "") {
        std::vector<Answer>& queue = answers_[command];
        if (queue.size() == 1 && queue[0].used) {
            queue.clear();
        }
        queue.push_back({code, reply, false});
    }

    uint32_t MciSendString(const char* command, char* reply, uint32_t length) override {
        ScriptedSend send;
        send.command = command;
        send.hasBuffer = reply != nullptr;
        send.length = length;
        Answer answer;
        auto found = answers_.find(send.command);
        if (found != answers_.end() && !found->second.empty()) {
            answer = found->second.front();
            if (found->second.size() > 1) {
                found->second.erase(found->second.begin());
            } else {
                found->second.front().used = true;
            }
        }
        send.code = answer.code;
        // A failing call writes nothing.
        if (answer.code == 0 && reply != nullptr && length > 0) {
            size_t bytes = std::min<size_t>(answer.reply.size() + 1, length);
            std::memcpy(reply, answer.reply.c_str(), bytes);
            send.reply = answer.reply.substr(0, bytes);
        }
        sends.push_back(send);
        return answer.code;
    }

    int32_t MciGetErrorString(uint32_t code, char* text, uint32_t length) override {
        errorQueries.push_back({code, length});
        auto found = errorTexts.find(code);
        if (found == errorTexts.end() || length == 0) {
            return 0;
        }
        size_t bytes = std::min<size_t>(found->second.size() + 1, length);
        std::memcpy(text, found->second.c_str(), bytes);
        text[bytes - 1] = '\0';
        return 1;
    }

    uint32_t WaveOutGetNumDevs() override {
        ++deviceQueries;
        return devices;
    }

    int32_t PlaySoundName(const char* sound, uint32_t flags) override {
        sounds.push_back({sound != nullptr, sound != nullptr ? sound : "", flags});
        return soundResult;
    }

    // The command strings sent, in order.
    std::vector<std::string> Commands() const {
        std::vector<std::string> commands;
        for (const ScriptedSend& send : sends) {
            commands.push_back(send.command);
        }
        return commands;
    }

    std::vector<ScriptedSend> sends;
    std::map<uint32_t, std::string> errorTexts;  // codes without a text make the query fail
    std::vector<std::pair<uint32_t, uint32_t>> errorQueries;  // code, length
    uint32_t devices = 1;
    int deviceQueries = 0;
    int32_t soundResult = 1;
    std::vector<ScriptedSound> sounds;

  private:
    std::map<std::string, std::vector<Answer>> answers_;
};

}  // namespace velmoria
