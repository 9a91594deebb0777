# Writes OUTPUT, a C++ source defining the bytes of INPUT as
# roombox::kBuiltinMaterialTableBytes and their count.
file(READ ${INPUT} content HEX)
string(LENGTH "${content}" digits)
math(EXPR size "${digits} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${content}")
file(WRITE ${OUTPUT}
  "// Generated from ${INPUT}; do not edit.\n"
  "namespace roombox {\n"
  "extern const char kBuiltinMaterialTableBytes[];\n"
  "extern const unsigned long kBuiltinMaterialTableSize;\n"
  "const char kBuiltinMaterialTableBytes[] = {${bytes} 0};\n"
  "const unsigned long kBuiltinMaterialTableSize = ${size};\n"
  "}  // namespace roombox\n")
