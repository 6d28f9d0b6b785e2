// Frame drawing: OpenGL 1.1 immediate mode, one triangle strip per particle.
#include "frame.h"

#include "gl.h"
#include "texture.h"

namespace velmoria {

namespace {

void DrawParticle(const Particle& particle) {
    const float x = particle.posX;
    const float y = particle.posY;
    const float z = particle.posZ + kDrawDepthOffset;
    const float h = kParticleHalfSize;
    glColor4f(particle.red, particle.green, particle.blue, particle.life);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2d(1, 1);
    glVertex3f(x + h, y + h, z);
    glTexCoord2d(0, 1);
    glVertex3f(x - h, y + h, z);
    glTexCoord2d(1, 0);
    glVertex3f(x + h, y - h, z);
    glTexCoord2d(0, 0);
    glVertex3f(x - h, y - h, z);
    glEnd();
}

}  // namespace

void DrawFrame() {
    AdvancePhases(particleSystem);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    spriteTexture.Bind();
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    DrawAndStepParticles(particleSystem, DrawParticle);
}

}  // namespace velmoria
