// The scene drawn headlessly: what the first frame feeds OpenGL, and the pixels of later frames
// against positions projected on the CPU from the particle state.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "assets/particle_sprite.h"
#include "renderer/frame.h"
#include "renderer/gl.h"
#include "renderer/headless/egl_context.h"
#include "renderer/scene.h"
#include "renderer/texture.h"
#include "tests/support/bmp_builder.h"

namespace velmoria {
namespace {

constexpr int32_t kWidth = 512;
constexpr int32_t kHeight = 384;
constexpr uint32_t kQuadsPerFrame = kEmitterCount * kLiveParticles;

// Where a particle's square lands in window coordinates (y up, as OpenGL counts).
struct WindowRect {
    double x0, x1, y0, y1;
};

// The projection of the scene: 45-degree field of view, near 1, far 3000. Empty when the square
// lies outside the depth range (all four corners share one depth, so it is all or nothing).
std::optional<WindowRect> Project(const Particle& particle) {
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double aspect = static_cast<double>(kWidth) / kHeight;
    const float z = particle.posZ + kDrawDepthOffset;
    if (!(z < -1.0f && z > -3000.0f)) {
        return std::nullopt;
    }
    const float h = kParticleHalfSize;
    auto windowX = [&](float x) { return (f / aspect * x / -z + 1.0) * kWidth / 2; };
    auto windowY = [&](float y) { return (f * y / -z + 1.0) * kHeight / 2; };
    return WindowRect{windowX(particle.posX - h), windowX(particle.posX + h),
                      windowY(particle.posY - h), windowY(particle.posY + h)};
}

std::vector<const Particle*> LiveParticles(const ParticleSystem& system) {
    std::vector<const Particle*> live;
    for (const Emitter& emitter : system.emitters) {
        for (uint32_t i = 0; i < emitter.liveCount; ++i) {
            if (emitter.particles[i].active) {
                live.push_back(&emitter.particles[i]);
            }
        }
    }
    return live;
}

uint8_t ExpectedChannel(float colour, float alpha) {
    const double c = std::clamp(static_cast<double>(colour), 0.0, 1.0);
    const double a = std::clamp(static_cast<double>(alpha), 0.0, 1.0);
    return static_cast<uint8_t>(std::lround(c * a * 255.0));
}

// One vertex as GL_3D_COLOR_TEXTURE feedback reports it.
struct FeedbackVertex {
    float x, y, z;
    float rgba[4];
    float stqr[4];
};

struct FeedbackPolygon {
    std::vector<FeedbackVertex> vertices;
};

class SceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        context_ = std::make_unique<HeadlessContextEgl>(kWidth, kHeight);
        ASSERT_TRUE(context_->ok()) << context_->error();
        // The scene's state is global: start each test as a fresh program does, with every
        // particle field zero and the generator at 1.
        particleSystem = *std::make_unique<ParticleSystem>();
        spriteTexture = Texture();
        folder_ =
            std::filesystem::temp_directory_path() /
            ("velmoria-scene-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override {
        context_.reset();
        std::filesystem::remove_all(folder_);
    }

    std::string WriteFile(const char* name, const std::vector<uint8_t>& bytes) {
        const std::string path = (folder_ / name).string();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        EXPECT_NE(file, nullptr);
        if (file != nullptr) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }

    std::string MissingSprite() const { return (folder_ / "no-such-sprite.bmp").string(); }

    void DrawFrames(int count) {
        for (int i = 0; i < count; ++i) {
            DrawFrame();
            context_->Swap();
        }
    }

    // Draws one frame in feedback mode and returns its polygons.
    std::vector<FeedbackPolygon> FeedbackFrame() {
        std::vector<GLfloat> buffer(kQuadsPerFrame * 2 * (2 + 3 * 11) + 1024);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        DrawFrame();
        const GLint used = glRenderMode(GL_RENDER);
        EXPECT_GE(used, 0) << "feedback buffer overflow";
        std::vector<FeedbackPolygon> polygons;
        for (GLint i = 0; i < used;) {
            const GLint token = static_cast<GLint>(buffer[i++]);
            EXPECT_EQ(token, GL_POLYGON_TOKEN);
            if (token != GL_POLYGON_TOKEN) {
                break;
            }
            FeedbackPolygon polygon;
            const int count = static_cast<int>(buffer[i++]);
            for (int v = 0; v < count; ++v, i += 11) {
                FeedbackVertex vertex;
                std::copy(&buffer[i], &buffer[i] + 11, &vertex.x);
                polygon.vertices.push_back(vertex);
            }
            polygons.push_back(polygon);
        }
        return polygons;
    }

    // Draws the next frame and checks its pixels against the particles as they were drawn:
    // pixels no square reaches are black; a pixel inside squares holds the sum of their colours
    // times their life times `texel` (additive blending). Enough pixels of each kind must be
    // checked for the frame to mean something.
    void CheckNextFrame(const float texel[3]) {
        const auto drawn = std::make_unique<ParticleSystem>(particleSystem);
        DrawFrame();
        context_->Swap();
        const std::vector<uint8_t> pixels = context_->ReadRgb();

        // Per pixel: how many squares come near its centre, and which one contains it.
        constexpr double kMargin = 0.02;
        std::vector<int> near(kWidth * kHeight, 0);
        std::vector<int> inside(kWidth * kHeight, 0);
        std::vector<std::array<int, 3>> expected(kWidth * kHeight, {0, 0, 0});
        for (const Particle* particle : LiveParticles(*drawn)) {
            const std::optional<WindowRect> rect = Project(*particle);
            if (!rect) {
                continue;
            }
            const int xFirst = std::max(0, static_cast<int>(std::floor(rect->x0 - kMargin - 0.5)));
            const int xLast = std::min(kWidth - 1, static_cast<int>(std::ceil(rect->x1 + kMargin)));
            const int yFirst = std::max(0, static_cast<int>(std::floor(rect->y0 - kMargin - 0.5)));
            const int yLast =
                std::min(kHeight - 1, static_cast<int>(std::ceil(rect->y1 + kMargin)));
            for (int y = yFirst; y <= yLast; ++y) {
                for (int x = xFirst; x <= xLast; ++x) {
                    const double cx = x + 0.5, cy = y + 0.5;
                    if (cx < rect->x0 - kMargin || cx > rect->x1 + kMargin ||
                        cy < rect->y0 - kMargin || cy > rect->y1 + kMargin) {
                        continue;
                    }
                    ++near[y * kWidth + x];
                    if (cx > rect->x0 + kMargin && cx < rect->x1 - kMargin &&
                        cy > rect->y0 + kMargin && cy < rect->y1 - kMargin) {
                        const Particle& p = *particle;
                        const float colour[3] = {p.red * texel[0], p.green * texel[1],
                                                 p.blue * texel[2]};
                        ++inside[y * kWidth + x];
                        for (int c = 0; c < 3; ++c) {
                            expected[y * kWidth + x][c] += ExpectedChannel(colour[c], p.life);
                        }
                    }
                }
            }
        }

        int black = 0, single = 0, overlapped = 0, failures = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const int index = y * kWidth + x;
                const uint8_t* rgb = &pixels[index * 3];
                if (near[index] == 0) {
                    ++black;
                    if ((rgb[0] | rgb[1] | rgb[2]) != 0 && ++failures <= 5) {
                        ADD_FAILURE()
                            << "pixel (" << x << ", " << y << ") reached by no particle is "
                            << +rgb[0] << "," << +rgb[1] << "," << +rgb[2];
                    }
                } else if (near[index] == inside[index]) {
                    // Each blend step rounds once; allow that for every square.
                    const int count = inside[index];
                    (count == 1 ? single : overlapped)++;
                    for (int c = 0; c < 3; ++c) {
                        const int want = std::min(255, expected[index][c]);
                        if (std::abs(rgb[c] - want) > 1 + count && ++failures <= 5) {
                            ADD_FAILURE() << "pixel (" << x << ", " << y << ") inside " << count
                                          << " squares: channel " << c << " is " << +rgb[c]
                                          << ", expected " << want;
                        }
                    }
                }
            }
        }
        EXPECT_EQ(failures, 0);
        EXPECT_GT(black, kWidth * kHeight / 2);
        EXPECT_GT(single, 200);
        EXPECT_GT(overlapped, 50);
    }

    std::unique_ptr<HeadlessContextEgl> context_;
    std::filesystem::path folder_;
};

TEST_F(SceneTest, FirstFrameDrawsEveryQuadAtTheCentreNearlyTransparent) {
    InitScene(kWidth, kHeight, WriteFile("sprite.bmp", MakeParticleSpriteBmp()).c_str());
    ASSERT_NE(spriteTexture.name, 0u);
    EXPECT_EQ(spriteTexture.width, 32);

    const std::vector<FeedbackPolygon> polygons = FeedbackFrame();
    ASSERT_EQ(polygons.size(), 2u * kQuadsPerFrame);  // two triangles per particle

    // (0, 0, -80) with half-size 0.1, seen through the 45-degree projection.
    const double f = 1.0 / std::tan(22.5 * M_PI / 180.0);
    const double halfX = f / (static_cast<double>(kWidth) / kHeight) * 0.1 / 80 * kWidth / 2;
    const double halfY = f * 0.1 / 80 * kHeight / 2;
    int wrong = 0;
    for (const FeedbackPolygon& polygon : polygons) {
        ASSERT_EQ(polygon.vertices.size(), 3u);
        for (const FeedbackVertex& v : polygon.vertices) {
            const double dx = v.x - kWidth / 2.0, dy = v.y - kHeight / 2.0;
            const bool right = dx > 0, top = dy > 0;
            const bool ok =
                std::abs(std::abs(dx) - halfX) < 1e-3 && std::abs(std::abs(dy) - halfY) < 1e-3 &&
                // texture corner follows the vertex corner
                v.stqr[0] == (right ? 1.0f : 0.0f) && v.stqr[1] == (top ? 1.0f : 0.0f) &&
                std::abs(v.rgba[0] - 0.2f) < 1e-6 && std::abs(v.rgba[1] - 0.5f) < 1e-6 &&
                std::abs(v.rgba[2] - 1.0f) < 1e-6 && std::abs(v.rgba[3] - 0.0001f) < 1e-7;
            if (!ok && ++wrong <= 3) {
                ADD_FAILURE() << "vertex at (" << v.x << ", " << v.y << ") texture (" << v.stqr[0]
                              << ", " << v.stqr[1] << ") colour " << v.rgba[0] << "," << v.rgba[1]
                              << "," << v.rgba[2] << "," << v.rgba[3];
            }
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(SceneTest, FirstFrameIsBlackBecauseItsAlphaRoundsAway) {
    InitScene(kWidth, kHeight, WriteFile("sprite.bmp", MakeParticleSpriteBmp()).c_str());
    DrawFrames(1);
    const std::vector<uint8_t> pixels = context_->ReadRgb();
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 0), static_cast<long>(pixels.size()));
}

TEST_F(SceneTest, LaterFramesSubmitEveryParticle) {
    InitScene(kWidth, kHeight, MissingSprite().c_str());
    DrawFrames(59);
    ASSERT_EQ(LiveParticles(particleSystem).size(), kQuadsPerFrame);

    // Clipping may cut a square at the edge into any number of pieces, so only the squares
    // clear of the edges are counted: each must arrive as exactly two whole triangles.
    constexpr double kMargin = 0.01;
    auto clearOfEdges = [](double x0, double x1, double y0, double y1, double margin) {
        return x0 > margin && x1 < kWidth - margin && y0 > margin && y1 < kHeight - margin;
    };
    int clear = 0, nearEdge = 0;
    for (const Particle* particle : LiveParticles(particleSystem)) {
        const std::optional<WindowRect> r = Project(*particle);
        if (r && clearOfEdges(r->x0, r->x1, r->y0, r->y1, kMargin)) {
            ++clear;
        } else if (r && clearOfEdges(r->x0, r->x1, r->y0, r->y1, -kMargin)) {
            ++nearEdge;  // could go either way by a rounding error
        }
    }
    int clearTriangles = 0;
    for (const FeedbackPolygon& polygon : FeedbackFrame()) {
        bool inside = polygon.vertices.size() == 3;
        for (const FeedbackVertex& v : polygon.vertices) {
            inside = inside && clearOfEdges(v.x, v.x, v.y, v.y, kMargin);
        }
        clearTriangles += inside;
    }
    EXPECT_GT(clear, 1000);
    EXPECT_GE(clearTriangles, 2 * clear);
    EXPECT_LE(clearTriangles, 2 * (clear + nearEdge));
}

TEST_F(SceneTest, MissingSpriteDrawsPlainColouredSquares) {
    InitScene(kWidth, kHeight, MissingSprite().c_str());
    EXPECT_EQ(spriteTexture.name, 0u);
    DrawFrames(79);
    const float white[3] = {1, 1, 1};
    CheckNextFrame(white);
}

TEST_F(SceneTest, OnePixelSpriteTintsEverySquare) {
    test::BmpRecipe magenta;
    magenta.pixels = test::PackRows(1, 1, 24, [](int32_t, int32_t) { return 0xFF00FFu; });
    InitScene(kWidth, kHeight, WriteFile("magenta.bmp", test::BuildBmp(magenta)).c_str());
    ASSERT_NE(spriteTexture.name, 0u);
    DrawFrames(79);
    const float magentaTexel[3] = {1, 0, 1};
    CheckNextFrame(magentaTexel);
}

}  // namespace
}  // namespace velmoria
