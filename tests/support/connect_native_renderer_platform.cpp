// Linked into the renderer's test programs: the platform the program's entry would connect, so
// that LoadDibFile and the scene reach real files and the real registry.
#include "tools/native_renderer_platform.h"

namespace {

velmoria::NativeRendererPlatform platform;
const bool connected = (velmoria::RendererPlatform::Connect(&platform), true);

}  // namespace
