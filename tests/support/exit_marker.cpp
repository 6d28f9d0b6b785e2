// Loaded with LD_PRELOAD by the end-to-end tests: an exit handler that leaves the file
// $VELMORIA_EXIT_MARKER.<pid>, so that a test can tell whether a process ran its exit handlers
// as it ended (exit) or ended at once (_exit).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void LeaveMarker() {
    const char* base = std::getenv("VELMORIA_EXIT_MARKER");
    if (base == nullptr) {
        return;
    }
    const std::string path = std::string(base) + "." + std::to_string(getpid());
    if (FILE* file = std::fopen(path.c_str(), "w")) {
        std::fclose(file);
    }
}

__attribute__((constructor)) void RegisterMarker() {
    std::atexit(LeaveMarker);
}

}  // namespace
