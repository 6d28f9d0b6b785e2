#include "idle/idle_options.h"

#include "idle/idle_config.h"

namespace velmoria {

const char* const kIdleUsage =
    "usage: velmoria-idle [--seconds N] [--command CMD] [--backend wayland|gnome|x11]\n"
    "Starts \"velmoria /s\" (or CMD, through /bin/sh -c) after N seconds without input, and again\n"
    "after each next idle time; N is VELMORIA_IDLE_SECONDS in ~/.config/velmoria/idle.conf,\n"
    "600 without it.\n";

const char* IdleBackendName(IdleBackend backend) {
    switch (backend) {
        case IdleBackend::Wayland:
            return "wayland";
        case IdleBackend::Mutter:
            return "gnome";
        case IdleBackend::X11:
            return "x11";
    }
    return "?";
}

IdleOptions ParseIdleOptions(const std::vector<std::string>& arguments) {
    IdleOptions options;
    for (size_t i = 0; i < arguments.size() && options.error.empty(); ++i) {
        std::string name = arguments[i];
        std::string value;
        bool hasValue = false;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != name.npos) {
            value = name.substr(equals + 1);
            name.resize(equals);
            hasValue = true;
        }
        if (name == "--help" || name == "-h") {
            options.help = true;
            continue;
        }
        if (name != "--seconds" && name != "--command" && name != "--backend") {
            options.error = "unknown option " + arguments[i];
            break;
        }
        if (!hasValue) {
            if (i + 1 == arguments.size()) {
                options.error = name + " needs a value";
                break;
            }
            value = arguments[++i];
        }
        if (name == "--seconds") {
            std::string why;
            if (!ParseIdleSeconds(value, options.seconds, why)) {
                options.error = "--seconds: " + why;
            }
        } else if (name == "--command") {
            if (value.empty()) {
                options.error = "--command needs a command";
            }
            options.command = value;
        } else {
            options.backend = value;
        }
    }
    return options;
}

bool IdleBackendOrder(const std::string& forced, std::vector<IdleBackend>& order,
                      std::string& error) {
    const IdleBackend all[] = {IdleBackend::Wayland, IdleBackend::Mutter, IdleBackend::X11};
    order.clear();
    for (const IdleBackend backend : all) {
        if (forced.empty() || forced == IdleBackendName(backend)) {
            order.push_back(backend);
        }
    }
    if (order.empty()) {
        error = "no idle backend \"" + forced + "\" (wayland, gnome or x11)";
        return false;
    }
    return true;
}

std::string NoIdleBackendMessage(const std::vector<std::pair<IdleBackend, std::string>>& reasons) {
    std::string message = "cannot tell when the user is idle here:";
    for (size_t i = 0; i < reasons.size(); ++i) {
        message += (i == 0 ? " " : "; ");
        message += IdleBackendName(reasons[i].first);
        message += ": " + reasons[i].second;
    }
    return message;
}

std::vector<std::string> SaverCommandLine(
    const std::string& command, const std::string& ownFolder,
    const std::function<bool(const std::string&)>& isProgram) {
    if (!command.empty()) {
        return {"/bin/sh", "-c", command};
    }
    for (const char* name : {"velmoria", "Velmoria.scr"}) {
        const std::string path = ownFolder + "/" + name;
        if (!ownFolder.empty() && isProgram(path)) {
            return {path, "/s"};
        }
    }
    return {"velmoria", "/s"};
}

}  // namespace velmoria
