// One frame of the animation into the current context's back buffer.
#pragma once

#include "particles.h"

namespace velmoria {

// Clears the frame and draws every live particle of the global particle system as a textured,
// additively blended square, stepping each one right after it is drawn. The caller swaps.
void DrawFrame();

// Distance added to every particle's z when it is drawn (its stored posZ is not changed).
constexpr float kDrawDepthOffset = -80.0f;
// Half the side of a particle's square, in world units.
constexpr float kParticleHalfSize = 0.1f;

}  // namespace velmoria
