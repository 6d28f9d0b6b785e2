#include "idle/linux/saver_child_linux.h"

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace velmoria {

namespace {

void EndWithParent(gpointer) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
}

}  // namespace

SaverChildLinux::~SaverChildLinux() {
    if (watch_ != 0) {
        g_source_remove(watch_);
    }
}

bool SaverChildLinux::Start(const std::vector<std::string>& commandLine, std::string& error) {
    std::vector<gchar*> argv;
    for (const std::string& argument : commandLine) {
        argv.push_back(const_cast<gchar*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    GError* failure = nullptr;
    GPid pid = 0;
    const auto flags = static_cast<GSpawnFlags>(G_SPAWN_SEARCH_PATH | G_SPAWN_DO_NOT_REAP_CHILD);
    if (!g_spawn_async(nullptr, argv.data(), nullptr, flags, EndWithParent, nullptr, &pid,
                       &failure)) {
        error = failure->message;
        g_error_free(failure);
        return false;
    }
    pid_ = pid;
    watch_ = g_child_watch_add(pid, Ended, this);
    return true;
}

void SaverChildLinux::Ended(GPid pid, gint status, gpointer self) {
    auto* child = static_cast<SaverChildLinux*>(self);
    if (WIFEXITED(status) && WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "velmoria-idle: the saver ended with exit code %d\n",
                     WEXITSTATUS(status));
    } else if (WIFSIGNALED(status) && WTERMSIG(status) != SIGTERM) {
        std::fprintf(stderr, "velmoria-idle: the saver ended by signal %d\n", WTERMSIG(status));
    }
    g_spawn_close_pid(pid);
    child->pid_ = 0;
    child->watch_ = 0;
}

bool SaverChildLinux::End(unsigned seconds) {
    if (!Running()) {
        return true;
    }
    kill(pid_, SIGTERM);
    bool late = false;
    const guint timer = g_timeout_add_seconds(
        seconds,
        [](gpointer flag) {
            *static_cast<bool*>(flag) = true;
            return G_SOURCE_REMOVE;
        },
        &late);
    while (Running() && !late) {
        g_main_context_iteration(nullptr, TRUE);
    }
    if (!late) {
        g_source_remove(timer);
    }
    return !Running();
}

}  // namespace velmoria
