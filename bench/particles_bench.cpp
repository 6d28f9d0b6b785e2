// One frame's particle work without drawing: the phase advance and 30000 particle steps.
#include <benchmark/benchmark.h>

#include <memory>

#include "renderer/particles.h"

static void BM_FrameSteps(benchmark::State& state) {
    auto system = std::make_unique<velmoria::ParticleSystem>();
    velmoria::InitParticles(*system);
    for (int f = 0; f < 100; ++f) {
        velmoria::RunFrame(*system);  // past the first frame's burst into the steady state
    }
    for (auto _ : state) {
        velmoria::RunFrame(*system);
        benchmark::ClobberMemory();
    }
    const double particles = 3.0 * velmoria::kLiveParticles;
    // Seconds per particle step (printed with an SI prefix, e.g. "5n" for 5 ns).
    state.counters["per_particle"] = benchmark::Counter(
        particles, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FrameSteps)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
