// velmoria-idle's command line, which idle backend to try in which order, and what it runs.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace velmoria {

enum class IdleBackend { Wayland, Mutter, X11 };

// "wayland", "gnome", "x11": the names --backend and VELMORIA_IDLE_BACKEND take.
const char* IdleBackendName(IdleBackend backend);

struct IdleOptions {
    uint32_t seconds = 0;  // 0: from idle.conf
    std::string command;   // empty: the saver, "velmoria /s"
    std::string backend;   // empty: the first that works
    bool help = false;
    std::string error;  // the command line is wrong: why
};

// --seconds N, --command CMD, --backend NAME (also as --name=value), --help.
IdleOptions ParseIdleOptions(const std::vector<std::string>& arguments);

// The backends to try, in order: the one `forced` names, else Wayland (an idle protocol), GNOME
// (Mutter's IdleMonitor on the session bus), X11 (MIT-SCREEN-SAVER). False with `error` for a
// name that is none.
bool IdleBackendOrder(const std::string& forced, std::vector<IdleBackend>& order,
                      std::string& error);

// Why none could be used, from each one's reason, for the one line said before ending.
std::string NoIdleBackendMessage(const std::vector<std::pair<IdleBackend, std::string>>& reasons);

// The program and arguments to start: `command` through /bin/sh -c when given, else the saver
// "/s", beside this program ("velmoria", else the shell itself, "Velmoria.scr", as in a build
// tree), else "velmoria" from PATH.
std::vector<std::string> SaverCommandLine(const std::string& command, const std::string& ownFolder,
                                          const std::function<bool(const std::string&)>& isProgram);

extern const char* const kIdleUsage;

}  // namespace velmoria
