// Opening one of our lock files safely: never through a link, never blocking on a FIFO or a
// device planted under its name, and only a regular file of the user's own.
#pragma once

#include <string>

namespace velmoria {

// The descriptor of `folder`/`name` (made, mode 0600, when `create`), close-on-exec; -1 with
// `fault` saying why when the folder is empty (no runtime folder), the file cannot be opened
// or is not a regular file of the user's own. A missing file without `create` is -1 with an
// empty `fault`.
int OpenLockFilePosix(const std::string& folder, const std::string& name, bool create,
                      std::string& fault);

}  // namespace velmoria
