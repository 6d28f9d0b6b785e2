// The connected shell platform.
#include "shell/platform.h"

#include <cstdio>
#include <cstdlib>

namespace velmoria {

namespace {

ShellPlatform* connected = nullptr;

}  // namespace

ShellPlatform& ShellPlatform::Current() {
    if (connected == nullptr) {
        // A program that forgot to connect its backend: a developer's error, found at once.
        std::fputs("shell: no platform connected\n", stderr);
        std::abort();
    }
    return *connected;
}

void ShellPlatform::Connect(ShellPlatform* platform) {
    connected = platform;
}

}  // namespace velmoria
