// The XDG base-folder rule, in one place for both programs.
#pragma once

#include <string>

namespace velmoria {

// $variable when it holds an absolute path (a relative one is ignored, as the XDG rules ask),
// else $HOME/fallback, e.g. XdgFolder("XDG_CONFIG_HOME", ".config").
std::string XdgFolder(const char* variable, const char* fallback);

}  // namespace velmoria
