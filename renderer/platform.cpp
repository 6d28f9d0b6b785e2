// The connected renderer platform.
#include "renderer/platform.h"

#include <cstdio>
#include <cstdlib>

namespace velmoria {

namespace {

RendererPlatform* connected = nullptr;

}  // namespace

RendererPlatform& RendererPlatform::Current() {
    if (connected == nullptr) {
        // A program that forgot to connect its backend: a developer's error, found at once.
        std::fputs("renderer: no platform connected\n", stderr);
        std::abort();
    }
    return *connected;
}

void RendererPlatform::Connect(RendererPlatform* platform) {
    connected = platform;
}

}  // namespace velmoria
