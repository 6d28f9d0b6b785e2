// velmoria-idle: starts the saver after the set time without input, and again after each next
// idle time, through whichever idle backend this desktop has. The GLib main loop waits on all
// of it: the compositor's, the X server's or the bus's descriptor, the saver child, signals.
// SIGTERM, SIGINT and SIGHUP end it with 0, and a saver it started with it: such a saver would
// be one nobody watches over, and systemd ends it with the unit all the same.
#include <X11/Xlib.h>
#include <glib-unix.h>
#include <glib.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "common/posix/runtime_folder_posix.h"
#include "common/posix/xdg.h"
#include "idle/gnome/idle_source_mutter.h"
#include "idle/idle_config.h"
#include "idle/idle_decider.h"
#include "idle/idle_options.h"
#include "idle/linux/saver_child_linux.h"
#include "idle/linux/saver_presence_linux.h"
#include "idle/x11/idle_source_x11.h"
#ifdef VELMORIA_WAYLAND
#include "idle/wayland/idle_source_wayland.h"
#endif

namespace {

using velmoria::IdleBackend;

constexpr unsigned kSaverEndSeconds = 5;
// What cannot change by trying again (the command line, idle.conf, a desktop without an idle
// source): the user unit does not restart on it. A source lost while watching ends with 1.
constexpr int kCannotRun = 2;

void Say(const std::string& line) {
    std::fprintf(stderr, "velmoria-idle: %s\n", line.c_str());
}

// The idle time from idle.conf; false after saying why when the file holds a wrong one.
bool ConfiguredSeconds(uint32_t& seconds) {
    const std::string path =
        velmoria::XdgFolder("XDG_CONFIG_HOME", ".config") + "/velmoria/idle.conf";
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        if (errno != ENOENT) {
            Say(path + ": " + std::strerror(errno));
            return false;
        }
        seconds = velmoria::kDefaultIdleSeconds;
        return true;
    }
    std::ostringstream text;
    text << file.rdbuf();
    const velmoria::IdleSecondsReading reading = velmoria::IdleSecondsFromConfig(text.str());
    if (!reading.error.empty()) {
        Say(path + ": " + reading.error);
        return false;
    }
    seconds = reading.seconds;
    return true;
}

std::string OwnFolder() {
    gchar* self = g_file_read_link("/proc/self/exe", nullptr);
    if (self == nullptr) {
        return {};
    }
    gchar* folder = g_path_get_dirname(self);
    std::string result = folder;
    g_free(folder);
    g_free(self);
    return result;
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

int XConnectionLost(Display*) {
    Say("the X server has gone");
    std::exit(1);
}

class IdleRun : public velmoria::IdleEvents {
  public:
    IdleRun(std::vector<std::string> commandLine, GMainLoop* loop)
        : commandLine_(std::move(commandLine)), loop_(loop) {}

    void OnIdle() override {
        const velmoria::IdleDecision decision = decider_.OnIdle([this] {
            velmoria::SaverBlockers blockers;
            blockers.ownSaverRuns = child_.Running();
            if (!blockers.ownSaverRuns) {
                const velmoria::SaverPresence presence = velmoria::LookForSaverLinux();
                blockers.saverPresent = presence.saver;
                blockers.dialogOpen = presence.dialog;
                blockers.idleInhibited =
                    !presence.saver && !presence.dialog && velmoria::SessionInhibitsIdle();
            }
            return blockers;
        });
        if (decision.launch) {
            Say("idle: starting " + Joined(commandLine_));
            std::string error;
            if (!child_.Start(commandLine_, error)) {
                Say("cannot start " + commandLine_[0] + ": " + error);
            }
        } else if (!decision.why.empty()) {
            Say("idle, not starting: " + decision.why);
        }
    }

    void OnActive() override {
        if (!decider_.Armed()) {
            Say("active");
        }
        decider_.OnActive();
    }

    void OnLost(const std::string& why) override {
        Say(why);
        lost_ = true;
        g_main_loop_quit(loop_);
    }

    bool Lost() const { return lost_; }
    velmoria::SaverChildLinux& Child() { return child_; }

  private:
    std::vector<std::string> commandLine_;
    GMainLoop* loop_;
    velmoria::IdleDecider decider_;
    velmoria::SaverChildLinux child_;
    bool lost_ = false;
};

std::unique_ptr<velmoria::IdleSource> Open(IdleBackend backend, uint32_t idleMs,
                                           velmoria::IdleEvents& events, std::string& why) {
    switch (backend) {
        case IdleBackend::Wayland:
#ifdef VELMORIA_WAYLAND
            return velmoria::OpenIdleSourceWayland(idleMs, events, why);
#else
            why = "built without Wayland";
            return nullptr;
#endif
        case IdleBackend::Mutter:
            return velmoria::OpenIdleSourceMutter(idleMs, events, why);
        case IdleBackend::X11:
            return velmoria::OpenIdleSourceX11(idleMs, events, why);
    }
    return nullptr;
}

gboolean Quit(gpointer loop) {
    g_main_loop_quit(static_cast<GMainLoop*>(loop));
    return G_SOURCE_CONTINUE;
}

}  // namespace

int main(int argc, char** argv) {
    const velmoria::IdleOptions options =
        velmoria::ParseIdleOptions(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.error.empty()) {
        Say(options.error);
        std::fputs(velmoria::kIdleUsage, stderr);
        return kCannotRun;
    }
    if (options.help) {
        std::fputs(velmoria::kIdleUsage, stdout);
        return 0;
    }
    uint32_t seconds = options.seconds;
    if (seconds == 0 && !ConfiguredSeconds(seconds)) {
        return kCannotRun;
    }
    std::string forced = options.backend;
    if (const char* variable = std::getenv("VELMORIA_IDLE_BACKEND"); forced.empty() && variable) {
        forced = variable;
    }
    std::vector<IdleBackend> order;
    std::string error;
    if (!velmoria::IdleBackendOrder(forced, order, error)) {
        Say(error);
        return kCannotRun;
    }
    // Started by a compositor or systemd with a bare environment: the runtime folder holds the
    // compositor's socket and the saver's title registry.
    velmoria::AdoptUserRuntimeFolderPosix();
    XSetIOErrorHandler(XConnectionLost);

    const std::vector<std::string> commandLine = velmoria::SaverCommandLine(
        options.command, OwnFolder(),
        [](const std::string& path) { return access(path.c_str(), X_OK) == 0; });
    GMainLoop* loop = g_main_loop_new(nullptr, FALSE);
    IdleRun run(commandLine, loop);
    std::unique_ptr<velmoria::IdleSource> source;
    std::vector<std::pair<IdleBackend, std::string>> reasons;
    for (const IdleBackend backend : order) {
        std::string why;
        source = Open(backend, seconds * 1000, run, why);
        if (source) {
            Say(std::string("watching idle time through ") + velmoria::IdleBackendName(backend) +
                ": after " + std::to_string(seconds) + " s starts " + Joined(commandLine));
            break;
        }
        reasons.emplace_back(backend, why);
    }
    if (!source) {
        Say(velmoria::NoIdleBackendMessage(reasons));
        g_main_loop_unref(loop);
        return kCannotRun;
    }
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        g_unix_signal_add(signal, Quit, loop);
    }
    g_main_loop_run(loop);
    if (!run.Child().End(kSaverEndSeconds)) {
        Say("the saver did not end within " + std::to_string(kSaverEndSeconds) + " s");
    }
    source.reset();
    g_main_loop_unref(loop);
    return run.Lost() ? 1 : 0;
}
