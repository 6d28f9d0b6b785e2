// Makes standard output byte-exact on Windows (no CR before each LF), so that the tools print
// the same bytes on both platforms.
#pragma once

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include <cstdio>
inline void UseBinaryStdout() {
    _setmode(_fileno(stdout), _O_BINARY);
}
#else
inline void UseBinaryStdout() {}
#endif
