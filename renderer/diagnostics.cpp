// Formats renderer diagnostics.
#include "renderer/diagnostics.h"

#include <string>

#include "renderer/platform.h"

namespace velmoria {

void ReportRendererFailure(const char* backend, const char* what) {
    const std::string line = std::string(backend) + ": " + what;
    RendererPlatform::Current().WriteDiagnostic(line.c_str());
}

}  // namespace velmoria
