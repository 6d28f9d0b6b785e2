// Fuzz target for the MCI command interpreter: each input line is one command string, run in
// order against a scripted backend (no real playback), with a reply buffer of varying size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "shell/music/mci_errors.h"
#include "shell/music/mci_interpreter.h"
#include "tests/music/fake_media.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace velmoria;
    if (size == 0) {
        return 0;
    }
    // The first byte sets the backend's answers and the reply buffer's length.
    const uint8_t setup = data[0];
    FakeMediaBackend backend;
    backend.state.openError = (setup & 1) ? mci_error::kFileNotFound : 0;
    backend.state.discOpenError = (setup & 2) ? mci_error::kCannotLoadDriver : 0;
    backend.state.discState = (setup & 4) == 0 ? MciDiscState::Ready
                              : (setup & 64)   ? MciDiscState::Reading
                                               : MciDiscState::Absent;
    backend.state.lengthMs = (setup & 8) ? -1 : 5000;
    backend.state.toc.trackStarts = {0, 100, 5000};
    backend.state.toc.endFrame = (setup & 16) ? 5000 : 9000;
    backend.state.positionFrames = (setup & 32) ? 9999 : 120;
    backend.state.fileMode = static_cast<MciMode>(setup % 6);
    const uint32_t length = setup >> 2;

    MciInterpreter mci(backend);
    char reply[64];
    std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
    size_t at = 0;
    for (int count = 0; count < 64 && at <= input.size(); ++count) {
        size_t end = input.find('\n', at);
        if (end == std::string::npos) {
            end = input.size();
        }
        std::string command = input.substr(at, end - at);
        std::memset(reply, 'Z', sizeof reply);
        uint32_t code = mci.Send(command.c_str(), reply, length);
        if (code == 0 && length > 0 && std::memchr(reply, '\0', length) == nullptr) {
            __builtin_trap();  // a successful reply is always terminated inside the buffer
        }
        char text[256];
        if (code != 0 && !MciGetErrorText(code, text, sizeof text)) {
            __builtin_trap();  // every error the interpreter gives has a text
        }
        at = end + 1;
    }
    return 0;
}
