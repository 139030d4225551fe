# cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DSYMBOL=<name> -P embed_bytes.cmake
# Writes the bytes of INPUT as jyxui::embedded::<SYMBOL> and <SYMBOL>Size.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
get_filename_component(source_name "${INPUT}" NAME)
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${source_name}; do not edit.\n"
  "#include <cstddef>\n"
  "namespace jyxui::embedded {\n"
  "extern const unsigned char ${SYMBOL}[];\n"
  "extern const std::size_t ${SYMBOL}Size;\n"
  "const unsigned char ${SYMBOL}[] = {${bytes}};\n"
  "const std::size_t ${SYMBOL}Size = ${size};\n"
  "}  // namespace jyxui::embedded\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
