// The particle system against the values that follow from its rules.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "renderer/particles.h"

namespace velmoria {
namespace {

std::unique_ptr<ParticleSystem> Seeded() {
    auto s = std::make_unique<ParticleSystem>();
    InitParticles(*s);
    return s;
}

// An independent copy of the generator's recurrence, to count calls by state.
uint32_t AdvanceLcg(uint32_t state, uint64_t calls) {
    for (uint64_t i = 0; i < calls; ++i) {
        state = state * 214013u + 2531011u;
    }
    return state;
}

TEST(RandomGenerator, FirstValuesFromStateOne) {
    auto s = std::make_unique<ParticleSystem>();
    const uint32_t expected[] = {41, 18467, 6334, 26500, 19169};
    for (uint32_t e : expected) {
        EXPECT_EQ(NextRandom(*s), e);
    }
}

TEST(Seeding, DrawsFourNumbersPerRecord) {
    auto s = Seeded();
    EXPECT_EQ(s->randomState, 3661120385u);
    EXPECT_EQ(s->randomState, AdvanceLcg(1, 240000));
}

TEST(Seeding, RecordZeroOfEachEmitter) {
    auto s = Seeded();
    struct Expect {
        float fade, vx, vy, vz;
    } expected[] = {{0.044f, -90, 90, -250}, {0.041f, -130, 40, -250}, {0.015f, 20, 110, 140}};
    for (int e = 0; e < kEmitterCount; ++e) {
        const Particle& p = s->emitters[e].particles[0];
        EXPECT_TRUE(p.active);
        EXPECT_EQ(p.life, 0.0001f);
        EXPECT_EQ(p.fadeRate, expected[e].fade) << "emitter " << e + 1;
        EXPECT_EQ(p.velX, expected[e].vx);
        EXPECT_EQ(p.velY, expected[e].vy);
        EXPECT_EQ(p.velZ, expected[e].vz);
        EXPECT_EQ(p.red, 0.2f);
        EXPECT_EQ(p.green, 0.5f);
        EXPECT_EQ(p.blue, 1.0f);
        EXPECT_EQ(p.posX, 0.0f);
        EXPECT_EQ(p.gravY, 0.0f);
    }
}

TEST(Seeding, VelocityRangesAreSkewedOnX) {
    auto s = Seeded();
    float minX = 1e9f, maxX = -1e9f, minY = 1e9f, maxY = -1e9f;
    for (const Emitter& em : s->emitters) {
        for (const Particle& p : em.particles) {
            minX = std::min(minX, p.velX);
            maxX = std::max(maxX, p.velX);
            minY = std::min(minY, p.velY);
            maxY = std::max(maxY, p.velY);
        }
    }
    EXPECT_EQ(minX, -260.0f);
    EXPECT_EQ(maxX, 230.0f);
    EXPECT_EQ(minY, -250.0f);
    EXPECT_EQ(maxY, 240.0f);
}

TEST(FirstFrame, EveryLiveParticleIsEmittedOnce) {
    auto s = Seeded();
    const uint32_t afterSeeding = s->randomState;
    int drawn = 0;
    RunFrame(*s, [&](const Particle& p) {
        // Drawn at the origin with the seeding's tiny alpha, before its step.
        EXPECT_EQ(p.life, 0.0001f);
        EXPECT_EQ(p.posX, 0.0f);
        ++drawn;
    });
    EXPECT_EQ(drawn, 30000);
    EXPECT_EQ(s->randomState, AdvanceLcg(afterSeeding, 10000 * 4 + 20000 * 7));
}

TEST(FirstFrame, ParticleZeroOfEachEmitter) {
    auto s = Seeded();
    RunFrame(*s);
    const Particle& p1 = s->emitters[0].particles[0];
    EXPECT_EQ(p1.life, 1.0f);
    EXPECT_EQ(p1.fadeRate, 0.0148f);
    EXPECT_NEAR(p1.posX, 0.2000, 5e-5);
    EXPECT_NEAR(p1.posY, 9.9980, 5e-5);
    EXPECT_NEAR(p1.posZ, 19.9685, 5e-5);
    EXPECT_EQ(p1.velX, 38.0f);
    EXPECT_EQ(p1.velY, -11.0f);
    EXPECT_EQ(p1.velZ, -29.0f);

    const Particle& p2 = s->emitters[1].particles[0];
    EXPECT_EQ(p2.fadeRate, 0.003f);
    EXPECT_EQ(p2.velX, -117.0f);
    EXPECT_EQ(p2.velY, 90.0f);
    EXPECT_EQ(p2.velZ, -11.0f);
    EXPECT_EQ(p2.red, 1.0f);
    EXPECT_EQ(p2.green, 1.0f);
    EXPECT_EQ(p2.blue, 0.1f);

    const Particle& p3 = s->emitters[2].particles[0];
    EXPECT_EQ(p3.fadeRate, 0.0076f);
    EXPECT_EQ(p3.velX, 355.0f);
    EXPECT_EQ(p3.velY, -468.0f);
    EXPECT_EQ(p3.velZ, -14.0f);
    EXPECT_EQ(p3.red, 0.3f);
    EXPECT_EQ(p3.green, 0.5f);
    EXPECT_EQ(p3.blue, 1.0f);
}

TEST(FirstFrame, AllEmittedFromTheEmitterPoint) {
    auto s = Seeded();
    RunFrame(*s);
    const float phases[3][3] = {
        {0.01f, 0.02f, 0.03f}, {0.04f, 0.05f, 0.06f}, {0.03f, 0.05f, 0.01f}};
    const double amplitudeZ[3] = {70, 65, 80};
    for (int e = 0; e < kEmitterCount; ++e) {
        const Emitter& em = s->emitters[e];
        EXPECT_EQ(em.phaseX, phases[e][0]);
        EXPECT_EQ(em.phaseY, phases[e][1]);
        EXPECT_EQ(em.phaseZ, phases[e][2]);
        const float x = static_cast<float>(20.0 * std::sin(static_cast<double>(em.phaseX)));
        const float y = static_cast<float>(10.0 * std::cos(static_cast<double>(em.phaseY)));
        const float z =
            static_cast<float>(amplitudeZ[e] * std::cos(static_cast<double>(em.phaseZ)) - 50.0);
        for (uint32_t i = 0; i < kLiveParticles; ++i) {
            const Particle& p = em.particles[i];
            ASSERT_EQ(p.posX, x) << "emitter " << e + 1 << " particle " << i;
            ASSERT_EQ(p.posY, y);
            ASSERT_EQ(p.posZ, z);
        }
    }
}

TEST(Step, MovesByVelocityOverTwoThousand) {
    auto s = std::make_unique<ParticleSystem>();
    Particle p{};
    p.active = true;
    p.life = 1.0f;
    p.fadeRate = 0.01f;
    p.velX = 2000.0f;
    p.velY = -1000.0f;
    p.velZ = 1.0f;
    p.gravX = 3.0f;
    StepParticle(*s, 0, p);
    EXPECT_EQ(p.posX, 1.0f);
    EXPECT_EQ(p.posY, -0.5f);
    EXPECT_EQ(p.posZ, static_cast<float>(1.0 / 2000.0));
    EXPECT_EQ(p.velX, 2003.0f);  // the position moved with the velocity from before
    EXPECT_EQ(p.life, static_cast<float>(1.0 - static_cast<double>(0.01f)));
    EXPECT_EQ(s->randomState, 1u);
}

TEST(Step, LifeOfExactlyZeroIsNotEmitted) {
    auto s = std::make_unique<ParticleSystem>();
    Particle p{};
    p.active = true;
    p.life = 0.5f;
    p.fadeRate = 0.5f;
    StepParticle(*s, 0, p);
    EXPECT_EQ(p.life, 0.0f);
    EXPECT_EQ(s->randomState, 1u);
    StepParticle(*s, 0, p);
    EXPECT_EQ(p.life, 1.0f);
    EXPECT_NE(s->randomState, 1u);
}

// Steps a freshly emitted particle until it is emitted again.
int StepsToReemission(float fadeRate) {
    auto s = std::make_unique<ParticleSystem>();
    Particle p{};
    p.active = true;
    p.life = 1.0f;
    p.fadeRate = fadeRate;
    for (int step = 1; step < 1000; ++step) {
        StepParticle(*s, 0, p);
        if (s->randomState != 1u) {
            return step;
        }
    }
    return -1;
}

TEST(Step, LifetimesSpanFortyFourToThreeHundredThirtyFourFrames) {
    EXPECT_EQ(StepsToReemission(static_cast<float>(0 * 0.0002 + 0.003)), 334);
    EXPECT_EQ(StepsToReemission(static_cast<float>(99 * 0.0002 + 0.003)), 44);
}

TEST(Frames, ColoursStayWithinEachEmittersRule) {
    auto s = Seeded();
    for (int f = 0; f < 120; ++f) {
        RunFrame(*s);
    }
    for (uint32_t i = 0; i < kLiveParticles; ++i) {
        const Particle& p1 = s->emitters[0].particles[i];
        ASSERT_EQ(p1.red, 0.2f);
        ASSERT_EQ(p1.green, 0.5f);
        ASSERT_EQ(p1.blue, 1.0f);
        const Particle& p2 = s->emitters[1].particles[i];
        ASSERT_EQ(p2.red, 1.0f);
        ASSERT_EQ(p2.blue, 0.1f);
        ASSERT_TRUE(p2.green == 0.1f || p2.green == 0.5f || p2.green == 1.0f);
        const Particle& p3 = s->emitters[2].particles[i];
        ASSERT_EQ(p3.blue, 1.0f);
        ASSERT_TRUE(p3.red == 0.2f || p3.red == 0.1f || p3.red == 0.3f);
        ASSERT_TRUE(p3.green == 0.5f || p3.green == 0.1f || p3.green == 0.3f);
    }
}

TEST(Frames, RecordsBeyondTheLiveCountKeepTheirSeeding) {
    auto seeded = Seeded();
    auto s = Seeded();
    for (int f = 0; f < 50; ++f) {
        RunFrame(*s);
    }
    for (int e = 0; e < kEmitterCount; ++e) {
        EXPECT_EQ(0, std::memcmp(&s->emitters[e].particles[kLiveParticles],
                                 &seeded->emitters[e].particles[kLiveParticles],
                                 sizeof(Particle) * (kParticleCapacity - kLiveParticles)));
    }
}

TEST(Frames, TwoRunsAreIdenticalFrameByFrame) {
    auto a = Seeded();
    auto b = Seeded();
    for (int f = 0; f < 60; ++f) {
        RunFrame(*a);
        RunFrame(*b);
        ASSERT_EQ(0, std::memcmp(a.get(), b.get(), sizeof(ParticleSystem))) << "frame " << f + 1;
    }
}

TEST(Frames, DisabledEmitterAndInactiveParticleAreSkippedUntilTheNextFrame) {
    auto s = Seeded();
    RunFrame(*s);
    // Every frame re-enables the emitters and resets their live counts.
    s->emitters[1].enabled = false;
    s->emitters[2].liveCount = 5;
    s->emitters[0].particles[7].active = false;
    int drawn = 0;
    RunFrame(*s, [&](const Particle&) { ++drawn; });
    EXPECT_EQ(drawn, 30000 - 1);
    EXPECT_TRUE(s->emitters[1].enabled);
    EXPECT_EQ(s->emitters[2].liveCount, kLiveParticles);
}

}  // namespace
}  // namespace velmoria
