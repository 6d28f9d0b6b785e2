// settings-dump: fills a settings record from the platform's registry (the real one on Windows,
// the .reg file on Linux) and prints it, one field per line.
#include <cstdio>

#include "renderer/saver_settings.h"
#include "tools/binary_stdout.h"
#include "tools/native_renderer_platform.h"

int main() {
    UseBinaryStdout();
    velmoria::NativeRendererPlatform platform;
    velmoria::RendererPlatform::Connect(&platform);
    velmoria::Registry& registry = platform.CurrentUserRegistry();
    velmoria::SaverSettings s;
    velmoria::ReadSystemSaverValues(s, registry);
    velmoria::ReadRendererSettings(s, registry);
    std::printf("passwordDelay %d\nmouseThreshold %d\nmuteSound %d\n", s.passwordDelay,
                s.mouseThreshold, s.muteSound);
    std::printf("rotate %u\nparticle1 %u\nparticle2 %u\nparticle3 %u\ngravity %u\n", s.rotate,
                s.particle1, s.particle2, s.particle3, s.gravity);
    std::printf("qualLow %u\nqualMed %u\nqualHi %u\n", s.qualLow, s.qualMed, s.qualHi);
    return 0;
}
