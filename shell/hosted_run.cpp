// Reading a daemon's hosted run from the arguments and the environment.
#include "shell/hosted_run.h"

namespace velmoria {

HostedRun HostedRunFrom(const std::vector<std::string>& arguments, const char* environmentWindow) {
    const std::string fromEnvironment = environmentWindow != nullptr ? environmentWindow : "";
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if ((argument == "-window-id" || argument == "--window-id") && i + 1 < arguments.size()) {
            return {true, arguments[i + 1]};
        }
    }
    for (const std::string& argument : arguments) {
        if (argument == "-root" || argument == "--root") {
            return {true, fromEnvironment};
        }
    }
    // A bare start under a daemon: the daemon set the window.
    if (arguments.empty() && !fromEnvironment.empty()) {
        return {true, fromEnvironment};
    }
    return {};
}

}  // namespace velmoria
