// The renderer's one diagnostic path: a line naming the backend and what failed ("GLX: cannot
// create a context"), for developers only. The user sees nothing; the program goes on or ends
// quietly as it would without it.
#pragma once

namespace velmoria {

// Writes "<backend>: <what>" through the platform (standard error, or OutputDebugStringA).
void ReportRendererFailure(const char* backend, const char* what);

}  // namespace velmoria
