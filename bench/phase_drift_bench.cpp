// phase-drift-bench: how far the emitters' per-frame phase steps stray from their nominal steps
// over a long run, for plain float sums (phase += step for ever) and for the renderer's phase
// advance. For each checkpoint it prints the worst relative step error over the nine phases in
// the 200,000 frames up to it, and for the advance the largest jump of an emission-point
// coordinate at a wrap against the unwrapped phase.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

#include "renderer/particles.h"

namespace {

constexpr double kTurn = 2.0 * 3.14159265358979323846;
constexpr int kPhases = 9;
constexpr double kSteps[kPhases] = {0.01, 0.02, 0.03, 0.04, 0.05, 0.06, 0.03, 0.05, 0.01};
// Amplitude of the coordinate each phase drives, and whether through a cosine.
constexpr double kAmplitudes[kPhases] = {20, 10, 70, 20, 10, 65, 20, 10, 80};
constexpr bool kCosine[kPhases] = {false, true, true, false, true, true, false, true, true};
constexpr int64_t kWindow = 200'000;

void ReadPhases(const velmoria::ParticleSystem& s, float (&phases)[kPhases]) {
    for (int e = 0; e < velmoria::kEmitterCount; ++e) {
        phases[3 * e] = s.emitters[e].phaseX;
        phases[3 * e + 1] = s.emitters[e].phaseY;
        phases[3 * e + 2] = s.emitters[e].phaseZ;
    }
}

double StepError(float before, float after, double step) {
    double d = static_cast<double>(after) - static_cast<double>(before);
    d -= kTurn * std::round(d / kTurn);
    return std::fabs(d - step) / step;
}

double Coordinate(int i, double phase) {
    return kAmplitudes[i] * (kCosine[i] ? std::cos(phase) : std::sin(phase));
}

}  // namespace

int main() {
    const int64_t checkpoints[] = {1'000'000, 17'000'000, 200'000'000};
    auto system = std::make_unique<velmoria::ParticleSystem>();
    float plain[kPhases] = {};
    float advanced[kPhases] = {};
    float next[kPhases];
    double worstJump = 0;
    int64_t frame = 0;
    std::printf("%12s  %14s  %14s  %14s\n", "frames", "plain sum", "advance", "wrap jump");
    for (int64_t end : checkpoints) {
        double worstPlain = 0;
        double worstAdvanced = 0;
        while (frame < end) {
            ++frame;
            const bool inWindow = frame > end - kWindow;
            velmoria::AdvancePhases(*system);
            ReadPhases(*system, next);
            for (int i = 0; i < kPhases; ++i) {
                const float sum = static_cast<float>(static_cast<double>(plain[i]) + kSteps[i]);
                if (next[i] < advanced[i]) {
                    const double exact = static_cast<double>(advanced[i]) + kSteps[i];
                    worstJump = std::max(worstJump,
                                         std::fabs(Coordinate(i, next[i]) - Coordinate(i, exact)));
                }
                if (inWindow) {
                    worstPlain = std::max(worstPlain, StepError(plain[i], sum, kSteps[i]));
                    worstAdvanced =
                        std::max(worstAdvanced, StepError(advanced[i], next[i], kSteps[i]));
                }
                plain[i] = sum;
                advanced[i] = next[i];
            }
        }
        std::printf("%12lld  %13.4f%%  %13.4f%%  %14.3g\n", static_cast<long long>(end),
                    100 * worstPlain, 100 * worstAdvanced, worstJump);
    }
    return 0;
}
