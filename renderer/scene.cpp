// The renderer's OpenGL state, set once before the first frame.
#include "scene.h"

#include "common/saver_contract.h"
#include "gl.h"
#include "particles.h"
#include "renderer/platform.h"
#include "texture.h"

namespace velmoria {

namespace {

struct LightValues {
    GLenum light;
    GLfloat ambient[4];
    GLfloat diffuse[4];
    GLfloat specular[4];
    GLfloat position[4];
};

// The lights never change a pixel: every frame switches lighting off before drawing.
constexpr LightValues kLights[] = {
    {GL_LIGHT1, {0, 0, 0, 1}, {0.2f, 0.5f, 1.0f, 1.0f}, {0.4f, 1.0f, 2.0f, 1.0f}, {0, 0, -20, 1}},
    {GL_LIGHT2, {0, 0, 0, 1}, {1.0f, 0.5f, 1.0f, 1.0f}, {1.0f, 0.5f, 2.0f, 1.0f}, {0, 0, -20, 1}},
    {GL_LIGHT3, {0, 0, 0, 1}, {0.75f, 0.75f, 1.0f, 1.0f}, {1.5f, 1.5f, 2.0f, 1.0f}, {0, 0, -20, 1}},
};

void SetUpLights() {
    for (const LightValues& values : kLights) {
        glLightfv(values.light, GL_AMBIENT, values.ambient);
        glLightfv(values.light, GL_DIFFUSE, values.diffuse);
        glLightfv(values.light, GL_SPECULAR, values.specular);
        glLightfv(values.light, GL_POSITION, values.position);
    }
    for (const LightValues& values : kLights) {
        glEnable(values.light);
    }
    glEnable(GL_LIGHTING);
}

// Viewport and perspective projection; leaves the projection matrix current.
void SetProjection(int32_t width, int32_t height) {
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // A zero height would divide by zero; such a screen shows nothing anyway.
    const double aspect = height != 0 ? static_cast<double>(width) / height : 1.0;
    gluPerspective(45.0, aspect, 1.0, 3000.0);
}

}  // namespace

void InitScene(int32_t width, int32_t height) {
    InitScene(width, height, SpriteFilePath().c_str());
}

void InitScene(int32_t width, int32_t height, const char* spritePath) {
    SetProjection(width, height);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    spriteTexture.Load(spritePath);
    SetUpLights();
    InitParticles(particleSystem);
    RendererPlatform::Current().HideCursor();
}

void ResizeScene(int32_t width, int32_t height) {
    SetProjection(width, height);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace velmoria
