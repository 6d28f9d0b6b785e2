// Seeding, phase advance and the per-particle step of the particle system.
#include "particles.h"

#include <cmath>

namespace velmoria {

ParticleSystem particleSystem;

namespace {

struct Rgb {
    float red, green, blue;
};

constexpr Rgb kPalette[6] = {
    {0.2f, 0.5f, 1.0f}, {0.1f, 0.1f, 1.0f}, {0.3f, 0.3f, 1.0f},
    {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f}, {1.0f, 1.0f, 0.1f},
};

enum class ColourRule {
    FixedRow0,         // palette row 0
    EachFromRows0To2,  // each component independently from rows 0..2
    EachFromRows3To5,  // each component independently from rows 3..5
};

// A phase that only grew would lose its step to the float spacing (2 % off after a million
// frames, frozen after 17 million). So each phase is brought back by whole turns before its floats
// are spaced more than a hundredth of its step apart: every step then stays within half a spacing,
// 0.5 %, of nominal. For these steps the first wrap comes after frame 100,000.
constexpr double kTurn = 2.0 * 3.14159265358979323846;

// The largest power of two below which floats are spaced at most step / 100 apart.
constexpr double WrapBound(double step) {
    double bound = 1.0;  // floats in [bound / 2, bound) are bound * 2^-24 apart
    while (2.0 * bound * 0x1p-24 <= step / 100.0) {
        bound *= 2.0;
    }
    return bound;
}

struct PhaseStep {
    constexpr PhaseStep(double perFrame) : step(perFrame), wrapBound(WrapBound(perFrame)) {}
    double step;
    double wrapBound;
};

// The three emitters are one family that differs only in these constants.
struct EmitterRules {
    PhaseStep phaseStepX, phaseStepY, phaseStepZ;
    double amplitudeZ;
    uint32_t velocityXYModulus;
    double velocityXYOffset;
    ColourRule colour;
};

constexpr EmitterRules kRules[kEmitterCount] = {
    {0.01, 0.02, 0.03, 70.0, 120, 60.0, ColourRule::FixedRow0},
    {0.04, 0.05, 0.06, 65.0, 240, 120.0, ColourRule::EachFromRows3To5},
    {0.03, 0.05, 0.01, 80.0, 1000, 500.0, ColourRule::EachFromRows0To2},
};

// The divisor of the velocity is stored as a factor 2.0 times 1000.
constexpr double kVelocityDivisor = 2.0 * 1000.0;

float AddStep(float value, double step) {
    return static_cast<float>(static_cast<double>(value) + step);
}

float AdvancePhase(float phase, const PhaseStep& rule) {
    const double next = static_cast<double>(phase) + rule.step;
    if (next < rule.wrapBound) {
        return static_cast<float>(next);
    }
    // Whole turns taken off in double and rounded once, so the path goes on where it was.
    return static_cast<float>(next - std::floor(next / kTurn) * kTurn);
}

void Emit(ParticleSystem& system, const Emitter& emitter, const EmitterRules& rules, Particle& p) {
    p.life = 1.0f;
    p.fadeRate = static_cast<float>(static_cast<double>(NextRandom(system) % 100) * 0.0002 + 0.003);
    p.posX = static_cast<float>(20.0 * std::sin(static_cast<double>(emitter.phaseX)));
    p.posY = static_cast<float>(10.0 * std::cos(static_cast<double>(emitter.phaseY)));
    p.posZ =
        static_cast<float>(rules.amplitudeZ * std::cos(static_cast<double>(emitter.phaseZ)) - 50.0);
    p.velX = static_cast<float>(static_cast<double>(NextRandom(system) % rules.velocityXYModulus) -
                                rules.velocityXYOffset);
    p.velY = static_cast<float>(static_cast<double>(NextRandom(system) % rules.velocityXYModulus) -
                                rules.velocityXYOffset);
    p.velZ = static_cast<float>(static_cast<double>(NextRandom(system) % 60) - 30.0);
    switch (rules.colour) {
        case ColourRule::FixedRow0:
            p.red = kPalette[0].red;
            p.green = kPalette[0].green;
            p.blue = kPalette[0].blue;
            break;
        case ColourRule::EachFromRows0To2:
        case ColourRule::EachFromRows3To5: {
            const uint32_t firstRow = rules.colour == ColourRule::EachFromRows0To2 ? 0 : 3;
            p.red = kPalette[firstRow + NextRandom(system) % 3].red;
            p.green = kPalette[firstRow + NextRandom(system) % 3].green;
            p.blue = kPalette[firstRow + NextRandom(system) % 3].blue;
            break;
        }
    }
    p.gravY = 0.0f;
}

}  // namespace

uint32_t NextRandom(ParticleSystem& system) {
    system.randomState = system.randomState * 214013u + 2531011u;
    return (system.randomState >> 16) & 0x7FFFu;
}

void InitParticles(ParticleSystem& system) {
    for (Emitter& emitter : system.emitters) {
        for (Particle& p : emitter.particles) {
            p.active = true;
            p.life = 0.0001f;
            p.fadeRate =
                static_cast<float>(static_cast<double>(NextRandom(system) % 100) * 0.001 + 0.003);
            p.red = kPalette[0].red;
            p.green = kPalette[0].green;
            p.blue = kPalette[0].blue;
            // -26, not -25: the seeded x velocities run from -260 to 230.
            p.velX =
                static_cast<float>((static_cast<double>(NextRandom(system) % 50) - 26.0) * 10.0);
            p.velY =
                static_cast<float>((static_cast<double>(NextRandom(system) % 50) - 25.0) * 10.0);
            p.velZ =
                static_cast<float>((static_cast<double>(NextRandom(system) % 50) - 25.0) * 10.0);
            p.gravX = 0.0f;
            p.gravY = 0.0f;
            p.gravZ = 0.0f;
        }
    }
}

void AdvancePhases(ParticleSystem& system) {
    for (int e = 0; e < kEmitterCount; ++e) {
        Emitter& emitter = system.emitters[e];
        emitter.enabled = true;
        emitter.liveCount = kLiveParticles;
        emitter.phaseX = AdvancePhase(emitter.phaseX, kRules[e].phaseStepX);
        emitter.phaseY = AdvancePhase(emitter.phaseY, kRules[e].phaseStepY);
        emitter.phaseZ = AdvancePhase(emitter.phaseZ, kRules[e].phaseStepZ);
    }
}

void StepParticle(ParticleSystem& system, int emitterIndex, Particle& p) {
    p.posX = static_cast<float>(static_cast<double>(p.posX) +
                                static_cast<double>(p.velX) / kVelocityDivisor);
    p.posY = static_cast<float>(static_cast<double>(p.posY) +
                                static_cast<double>(p.velY) / kVelocityDivisor);
    p.posZ = static_cast<float>(static_cast<double>(p.posZ) +
                                static_cast<double>(p.velZ) / kVelocityDivisor);
    p.velX = AddStep(p.velX, p.gravX);
    p.velY = AddStep(p.velY, p.gravY);
    p.velZ = AddStep(p.velZ, p.gravZ);
    p.life = static_cast<float>(static_cast<double>(p.life) - static_cast<double>(p.fadeRate));
    // Only a negative life re-emits; exactly zero lives one more frame.
    if (p.life < 0.0f) {
        Emit(system, system.emitters[emitterIndex], kRules[emitterIndex], p);
    }
}

}  // namespace velmoria
