# cmake -DIN=FILE -DOUT=SOURCE -DNAME=FUNCTION -P embed_file.cmake: writes a C++ source whose
# function returns the file's bytes.
file(READ "${IN}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUT}" "// Generated from ${IN}; do not edit.\n#include <cstdint>\n#include <vector>\n\n"
  "namespace velmoria {\n\nconst std::vector<uint8_t>& ${NAME}() {\n"
  "    static const std::vector<uint8_t> bytes = {\n    ${bytes}\n    };\n    return bytes;\n}\n\n"
  "}  // namespace velmoria\n")
