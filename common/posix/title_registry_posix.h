// Our own windows' titles where no program can see another's windows (Wayland): a lock file per
// title in the runtime folder (runtime_folder_posix.h), on which each window of that title holds
// a read lock (an open-file-description lock) while it exists. A file that no process holds is no
// window, so a holder that crashed leaves nothing that counts. Looking takes no lock, so a look
// can never make a holder fail.
#pragma once

#include <string>

namespace velmoria {

// The lock file's name for a title: "velmoria-window-" and the title, every byte other than a
// letter, a digit or "_" written as %XX, so any title is one safe file name.
std::string TitleRegistryFileName(const std::string& title);

// Holds the title for as long as it lives: a window of ours with that title exists meanwhile.
// The descriptor is not passed to programs we start.
class TitleRegistryEntryPosix {
  public:
    TitleRegistryEntryPosix(const std::string& folder, const std::string& title);
    ~TitleRegistryEntryPosix();
    TitleRegistryEntryPosix(const TitleRegistryEntryPosix&) = delete;
    TitleRegistryEntryPosix& operator=(const TitleRegistryEntryPosix&) = delete;
    // False when the lock file could not be made or locked; Fault() says why.
    bool Held() const { return fd_ >= 0; }
    const std::string& Fault() const { return fault_; }

  private:
    int fd_ = -1;
    std::string fault_;
};

enum class TitleRegistryState {
    Absent,   // no window of ours has the title
    Present,  // a window of ours (this process's included) holds it
    Refused,  // the lock file cannot be trusted (see the fault): nothing can be said
};

// Whether some process holds the title in `folder`; `fault` says why when Refused. Only a read
// lock counts, on a regular file of the user's own: a write lock holds no title.
TitleRegistryState TitleRegistryStatePosix(const std::string& folder, const std::string& title,
                                           std::string& fault);

}  // namespace velmoria
