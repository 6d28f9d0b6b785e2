// The particle system: three emitters on sinusoidal paths, each with a fixed array of particles
// that fly in straight lines, fade, and are emitted again from wherever their emitter is by then.
// Every formula is evaluated in double precision and rounded once when stored in a float field.
#pragma once

#include <cstdint>

namespace velmoria {

struct Particle {
    bool active;
    float life;  // also the alpha the particle is drawn with
    float fadeRate;
    float red, green, blue;
    float posX, posY, posZ;
    float velX, velY, velZ;
    float gravX, gravY, gravZ;
};

constexpr int kEmitterCount = 3;
constexpr uint32_t kParticleCapacity = 20000;
constexpr uint32_t kLiveParticles = 10000;

struct Emitter {
    Particle particles[kParticleCapacity];
    bool enabled;
    uint32_t liveCount;
    float phaseX, phaseY, phaseZ;
};

// All state of the animation: the emitters and the one random generator, which starts at 1 and
// is never reseeded, so every run animates identically.
struct ParticleSystem {
    Emitter emitters[kEmitterCount];
    uint32_t randomState = 1;
};

// The renderer's one particle system, in static storage.
extern ParticleSystem particleSystem;

// Linear congruential generator; returns 0 to 32767.
uint32_t NextRandom(ParticleSystem& system);

// Seeds every record of the three emitters (four random draws per record).
void InitParticles(ParticleSystem& system);

// Start of a frame: enables each emitter, sets 10000 live records and advances its phases. A
// phase grown large is brought back by whole turns, so its step keeps its size however long the
// run.
void AdvancePhases(ParticleSystem& system);

// Moves and ages one particle of the given emitter (0-based) and emits it again once its life
// has dropped below zero. Called right after the particle has been drawn.
void StepParticle(ParticleSystem& system, int emitterIndex, Particle& particle);

// Every live particle of the three emitters in order: `draw(particle)`, then its step.
template <class DrawParticle>
void DrawAndStepParticles(ParticleSystem& system, DrawParticle&& draw) {
    for (int e = 0; e < kEmitterCount; ++e) {
        Emitter& emitter = system.emitters[e];
        if (!emitter.enabled) {
            continue;
        }
        for (uint32_t i = 0; i < emitter.liveCount; ++i) {
            Particle& particle = emitter.particles[i];
            if (particle.active) {
                draw(particle);
                StepParticle(system, e, particle);
            }
        }
    }
}

// One whole frame: the phase advance, then every live particle drawn and stepped. The frame
// drawing puts its GL set-up between the two; tools and tests pass a no-op.
template <class DrawParticle>
void RunFrame(ParticleSystem& system, DrawParticle&& draw) {
    AdvancePhases(system);
    DrawAndStepParticles(system, draw);
}

inline void RunFrame(ParticleSystem& system) {
    RunFrame(system, [](const Particle&) {});
}

}  // namespace velmoria
