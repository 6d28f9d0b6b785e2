// Our own windows' titles where no program can see another's windows (Wayland): a lock file per
// title in $XDG_RUNTIME_DIR, held with a shared flock while such a window exists. A file that no
// process holds is no window, so a holder that crashed leaves nothing that counts.
#pragma once

#include <string>

namespace velmoria {

// The registry's folder: $XDG_RUNTIME_DIR when it names a folder, else the cache folder's
// "velmoria" (made, mode 0700).
std::string RuntimeFolderPosix();

// The lock file's name for a title: "velmoria-window-" and the title, every byte other than a
// letter, a digit or "_" written as %XX, so any title is one safe file name.
std::string WindowRegistryFileName(const std::string& title);

// Holds the title for as long as it lives: a window of ours with that title exists meanwhile.
// The descriptor is not passed to programs we start.
class AnnouncedWindowPosix {
  public:
    AnnouncedWindowPosix(const std::string& folder, const std::string& title);
    ~AnnouncedWindowPosix();
    AnnouncedWindowPosix(const AnnouncedWindowPosix&) = delete;
    AnnouncedWindowPosix& operator=(const AnnouncedWindowPosix&) = delete;
    // False when the lock file could not be made or locked.
    bool Held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

// Some process (this one included) holds the title in `folder`.
bool AnnouncedWindowExistsPosix(const std::string& folder, const std::string& title);

}  // namespace velmoria
