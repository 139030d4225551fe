# cmake -DINPUT=<png> -DOUTPUT=<cpp> -DSPACE=<namespace> -DSYMBOL=<name> -P JyxSkinEmbed.cmake
# Writes the file's bytes as a C++ array <SPACE>::<SYMBOL> and its size <SYMBOL>_size.
file(READ "${INPUT}" hex HEX)
file(SIZE "${INPUT}" size)
# Sixteen bytes to a line.
string(REGEX REPLACE "([0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f][0-9a-f])" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp" "// Generated from ${name}: do not edit.
#include <cstddef>

namespace ${SPACE} {
extern const unsigned char ${SYMBOL}[];
extern const std::size_t ${SYMBOL}_size;
const unsigned char ${SYMBOL}[] = {
${bytes}0};
const std::size_t ${SYMBOL}_size = ${size};
}  // namespace ${SPACE}
")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
