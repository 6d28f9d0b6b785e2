// The emitters' phase advance over a long run: each frame's step stays its nominal step (modulo
// a whole turn) and the emission point never jumps, however many frames have passed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#include "renderer/particles.h"

namespace velmoria {
namespace {

constexpr double kTurn = 2.0 * 3.14159265358979323846;
constexpr int kPhases = 3 * kEmitterCount;

// One phase: its nominal step and the emission-point coordinate it drives,
// amplitude * wave(phase) (an offset would cancel out of every comparison here).
struct PhaseRule {
    const char* name;
    double step;
    double amplitude;
    bool cosine;
};

constexpr PhaseRule kPhaseRules[kPhases] = {
    {"emitter 1 x", 0.01, 20, false}, {"emitter 1 y", 0.02, 10, true},
    {"emitter 1 z", 0.03, 70, true},  {"emitter 2 x", 0.04, 20, false},
    {"emitter 2 y", 0.05, 10, true},  {"emitter 2 z", 0.06, 65, true},
    {"emitter 3 x", 0.03, 20, false}, {"emitter 3 y", 0.05, 10, true},
    {"emitter 3 z", 0.01, 80, true},
};

double Coordinate(const PhaseRule& rule, double phase) {
    return rule.amplitude * (rule.cosine ? std::cos(phase) : std::sin(phase));
}

void ReadPhases(const ParticleSystem& s, float (&phases)[kPhases]) {
    for (int e = 0; e < kEmitterCount; ++e) {
        phases[3 * e] = s.emitters[e].phaseX;
        phases[3 * e + 1] = s.emitters[e].phaseY;
        phases[3 * e + 2] = s.emitters[e].phaseZ;
    }
}

uint32_t Bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

TEST(PhaseAdvance, FirstHundredThousandFramesAreThePlainFloatSum) {
    auto s = std::make_unique<ParticleSystem>();
    float plain[kPhases] = {};
    float phases[kPhases];
    for (int frame = 1; frame <= 100000; ++frame) {
        AdvancePhases(*s);
        ReadPhases(*s, phases);
        for (int i = 0; i < kPhases; ++i) {
            plain[i] = static_cast<float>(static_cast<double>(plain[i]) + kPhaseRules[i].step);
            ASSERT_EQ(Bits(phases[i]), Bits(plain[i]))
                << kPhaseRules[i].name << " at frame " << frame;
        }
    }
}

#if defined(__SANITIZE_ADDRESS__)
#define VELMORIA_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELMORIA_UNDER_SANITIZER 1
#endif
#endif

#ifdef VELMORIA_UNDER_SANITIZER
constexpr int64_t kLongRunFrames = 25'000'000;  // past the point where plain sums freeze
#else
constexpr int64_t kLongRunFrames = 200'000'000;
#endif

// Every step of a phase is within half a float spacing of nominal, and a phase is kept where its
// floats are at most a hundredth of its step apart.
constexpr double kMaxStepError = 0.005;
// How far the emission point may move at a wrap beyond where the exact, unwrapped phase puts it.
constexpr double kMaxWrapJump = 0.01;
// Longer than any phase's wrap cycle, so each window sees every spacing a phase passes through.
constexpr int64_t kWindow = 200'000;

TEST(PhaseAdvance, StepsStayNominalAndThePathContinuousForAVeryLongRun) {
    const int64_t checkpoints[] = {1'000'000,  5'000'000,   17'000'000,
                                   23'000'000, 100'000'000, 200'000'000};
    auto s = std::make_unique<ParticleSystem>();
    float before[kPhases] = {};
    float after[kPhases];
    int64_t wraps[kPhases] = {};
    double worstJump[kPhases] = {};
    int64_t frame = 0;
    for (int64_t end : checkpoints) {
        if (end > kLongRunFrames) {
            break;
        }
        double worstError[kPhases] = {};
        while (frame < end) {
            AdvancePhases(*s);
            ++frame;
            ReadPhases(*s, after);
            const bool inWindow = frame > end - kWindow;
            for (int i = 0; i < kPhases; ++i) {
                const PhaseRule& rule = kPhaseRules[i];
                if (after[i] < before[i]) {
                    ++wraps[i];
                    const double exact = static_cast<double>(before[i]) + rule.step;
                    worstJump[i] = std::max(worstJump[i], std::fabs(Coordinate(rule, after[i]) -
                                                                    Coordinate(rule, exact)));
                }
                if (inWindow) {
                    double step = static_cast<double>(after[i]) - static_cast<double>(before[i]);
                    step -= kTurn * std::round(step / kTurn);
                    worstError[i] =
                        std::max(worstError[i], std::fabs(step - rule.step) / rule.step);
                }
                before[i] = after[i];
            }
        }
        for (int i = 0; i < kPhases; ++i) {
            EXPECT_LE(worstError[i], kMaxStepError)
                << kPhaseRules[i].name << " in the " << kWindow << " frames up to frame " << end;
        }
    }
    for (int i = 0; i < kPhases; ++i) {
        // Without wraps the jump check below would have nothing to look at.
        EXPECT_GT(wraps[i], 0) << kPhaseRules[i].name;
        EXPECT_LT(worstJump[i], kMaxWrapJump) << kPhaseRules[i].name;
    }
}

}  // namespace
}  // namespace velmoria
