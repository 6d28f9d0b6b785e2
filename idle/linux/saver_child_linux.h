// The saver velmoria-idle starts: at most one at a time, watched from the GLib main loop, and
// ended with velmoria-idle (SIGTERM to it then; the kernel sends it too should velmoria-idle die
// any other way), so that a saver nobody watches over is never left behind.
#pragma once

#include <glib.h>

#include <string>
#include <vector>

namespace velmoria {

class SaverChildLinux {
  public:
    SaverChildLinux() = default;
    ~SaverChildLinux();
    SaverChildLinux(const SaverChildLinux&) = delete;
    SaverChildLinux& operator=(const SaverChildLinux&) = delete;

    // False with `error` when it could not be started.
    bool Start(const std::vector<std::string>& commandLine, std::string& error);
    bool Running() const { return pid_ > 0; }
    // SIGTERM to a running saver, then the main loop runs until it has ended or `seconds` have
    // passed; false when it is still running then.
    bool End(unsigned seconds);

  private:
    static void Ended(GPid pid, gint status, gpointer self);

    GPid pid_ = 0;
    guint watch_ = 0;
};

}  // namespace velmoria
