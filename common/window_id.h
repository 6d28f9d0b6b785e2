// A window id as screen-saver daemons hand it to a hack (XSCREENSAVER_WINDOW, -window-id): the
// one reading both programs use, so that the shell never hosts a window its renderer would read
// otherwise.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace velmoria {

// Decimal ("71303175") or hexadecimal after "0x" or "0X" ("0x4400007"); no sign, no blanks, no
// octal ("010" is ten), not 0, and within 32 bits. Anything else is no window id.
std::optional<uint32_t> ParseWindowId(std::string_view text);

}  // namespace velmoria
