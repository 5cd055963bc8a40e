# Turns one file into a C++ source holding its bytes and their count:
#   cmake -DINPUT=<file> -DOUTPUT=<file.cpp> -DNAME=<symbol> -P EmbedAsset.cmake
# defines `extern const unsigned char NAME[]` and `extern const size_t NAMELength`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR length "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# Sixteen bytes to a line keeps the generated file readable in a debugger.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n  " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT} by EmbedAsset.cmake; do not edit.\n"
  "#include <cstddef>\n\n"
  "extern const unsigned char ${NAME}[] = {\n  ${bytes}0x00};\n"
  "extern const size_t ${NAME}Length = ${length};\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
