// Reading a daemon's hosted run from the arguments and the environment.
#include "shell/hosted_run.h"

#include "common/window_id.h"

namespace velmoria {

namespace {

HostedRun Hosted(const std::string& text) {
    HostedRun run;
    run.hosted = true;
    run.given = text;
    if (!text.empty()) {
        if (const std::optional<uint32_t> id = ParseWindowId(text)) {
            run.window = std::to_string(*id);
        } else {
            run.badWindow = true;
        }
    }
    return run;
}

HostedRun HostedRunIn(const std::vector<std::string>& arguments, const char* environmentWindow) {
    const std::string fromEnvironment = environmentWindow != nullptr ? environmentWindow : "";
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if ((argument == "-window-id" || argument == "--window-id") && i + 1 < arguments.size()) {
            return Hosted(arguments[i + 1].empty() ? "(empty)" : arguments[i + 1]);
        }
    }
    for (const std::string& argument : arguments) {
        if (argument == "-root" || argument == "--root") {
            return Hosted(fromEnvironment);
        }
    }
    // A bare start under a daemon: the daemon set the window.
    if (arguments.empty() && !fromEnvironment.empty()) {
        return Hosted(fromEnvironment);
    }
    return {};
}

}  // namespace

HostedRun HostedRunFrom(const std::vector<std::string>& arguments, const char* environmentWindow) {
    HostedRun run = HostedRunIn(arguments, environmentWindow);
    for (size_t i = 0; run.hosted && i + 1 < arguments.size(); ++i) {
        if (arguments[i] == "-frame-limit" || arguments[i] == "--frame-limit") {
            run.frameLimit = arguments[i + 1];
        }
    }
    return run;
}

std::string MusicLockFileName(const char* display) {
    std::string session = display != nullptr ? display : "";
    // ":0.1" and ":0" are screens of one desktop session.
    const size_t colon = session.rfind(':');
    const size_t dot = session.rfind('.');
    if (colon != std::string::npos && dot != std::string::npos && dot > colon &&
        dot + 1 < session.size() &&
        session.find_first_not_of("0123456789", dot + 1) == std::string::npos) {
        session.erase(dot);
    }
    for (char& c : session) {
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == ':' || c == '.' || c == '-' || c == '_';
        if (!kept) {
            c = '_';
        }
    }
    return "velmoria-music" + (session.empty() ? std::string() : "-" + session) + ".lock";
}

}  // namespace velmoria
