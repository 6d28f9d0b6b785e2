// The MCI command strings that the music module sends, interpreted over a media backend with the
// platform's replies and error codes: the Linux counterpart of mciSendStringA.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "shell/music/mci_media.h"

namespace velmoria {

class MciInterpreter {
  public:
    explicit MciInterpreter(MciMediaBackend& backend);
    ~MciInterpreter();
    MciInterpreter(const MciInterpreter&) = delete;
    MciInterpreter& operator=(const MciInterpreter&) = delete;

    // mciSendStringA: 0 or an MCI error code. On success a reply (possibly empty) is written to
    // reply[0..length) when reply is given; a reply that does not fit fails with
    // kParamOverflow. On failure the reply is empty (its first character NUL), as with winmm.
    uint32_t Send(const char* command, char* reply, uint32_t length);

    // The same with the reply as a string, for callers and tests of our own.
    uint32_t Execute(const std::string& command, std::string* reply);

  private:
    struct Device;
    using Words = std::vector<std::string>;

    uint32_t Run(const Words& words, std::string* reply);
    uint32_t Open(const Words& words, std::string* reply);
    uint32_t OpenDevice(bool disc, const std::string& element, const std::string& alias,
                        bool explicitAlias, std::string* reply);
    uint32_t Play(Device& device, const Words& words);
    uint32_t Status(Device& device, const Words& words, std::string* reply);
    uint32_t Set(Device& device, const Words& words);
    Device* Find(const std::string& name);
    void Close(Device* device);

    MciMediaBackend& backend_;
    std::vector<std::unique_ptr<Device>> devices_;
};

}  // namespace velmoria
