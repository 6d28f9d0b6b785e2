// The runtime folder that holds our lock files (the title registry, the music lock). Another
// user who can write there could hold our titles or plant a FIFO under a lock's name, so only a
// folder of the user's own that nobody else can reach is taken.
#pragma once

#include <string>

namespace velmoria {

// The first of these that is the user's own with no access for others: `xdgRuntimeDir` (null
// when unset), `userRunFolder` (/run/user/<uid>), or `cacheFolder`/velmoria, made for the
// purpose (mode 0700). Empty when none is.
std::string ChooseRuntimeFolderPosix(const char* xdgRuntimeDir, const std::string& userRunFolder,
                                     const std::string& cacheFolder);

// The choice for this process, from $XDG_RUNTIME_DIR, /run/user/<uid> and the cache folder.
std::string RuntimeFolderPosix();

// Where $XDG_RUNTIME_DIR is unset (screen-saver daemons pass a hack a bare environment), sets it
// to /run/user/<uid> when that is the user's own, so that the sound server and the compositor,
// whose sockets live there, are found by us and by the programs we start.
void AdoptUserRuntimeFolderPosix();

}  // namespace velmoria
