// Linked into the shell's test programs: the platform the program's entry would connect, so
// that the settings file, the helpers and the music reach the real system.
#include "tools/native_shell_platform.h"

namespace {

velmoria::NativeShellPlatform platform;
const bool connected = (velmoria::ShellPlatform::Connect(&platform), true);

}  // namespace
