// particle-dump N: seeds the particle system, runs N frames without drawing, prints the state.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "renderer/particles.h"
#include "tools/binary_stdout.h"

int main(int argc, char** argv) {
    UseBinaryStdout();
    if (argc != 2) {
        std::fprintf(stderr, "usage: particle-dump FRAMES\n");
        return 2;
    }
    char* end = nullptr;
    const long frames = std::strtol(argv[1], &end, 10);
    if (end == argv[1] || *end != '\0' || frames < 0) {
        std::fprintf(stderr, "particle-dump: FRAMES must be a whole number of 0 or more\n");
        return 2;
    }
    auto system = std::make_unique<velmoria::ParticleSystem>();
    velmoria::InitParticles(*system);
    for (long f = 0; f < frames; ++f) {
        velmoria::RunFrame(*system);
    }

    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof(buffer));
    std::printf("rng %u\n", static_cast<unsigned>(system->randomState));
    for (int e = 0; e < velmoria::kEmitterCount; ++e) {
        const velmoria::Emitter& em = system->emitters[e];
        std::printf("phase %d %.9g %.9g %.9g\n", e + 1, em.phaseX, em.phaseY, em.phaseZ);
    }
    for (int e = 0; e < velmoria::kEmitterCount; ++e) {
        const velmoria::Emitter& em = system->emitters[e];
        for (uint32_t i = 0; i < velmoria::kParticleCapacity; ++i) {
            const velmoria::Particle& p = em.particles[i];
            std::printf(
                "p %d %u %d %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g %.9g "
                "%.9g\n",
                e + 1, static_cast<unsigned>(i), p.active ? 1 : 0, p.life, p.fadeRate, p.red,
                p.green, p.blue, p.posX, p.posY, p.posZ, p.velX, p.velY, p.velZ, p.gravX, p.gravY,
                p.gravZ);
        }
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}
