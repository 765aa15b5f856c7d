# Turns binary files into a C++ source of byte arrays, so the program carries
# its pictures inside itself. Runs with cmake -P, which works the same for the
# native and the cross build (no host tool to compile first).
#   -DOUT=<file.cpp> -DNAMESPACE=<ns> -DFILES=<name=path|name=path...>
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" FILES "${FILES}")
set(body "// Generated from the picture files at build time; do not edit.\n#include <cstdint>\n#include <span>\n\nnamespace ${NAMESPACE} {\n")
foreach(pair IN LISTS FILES)
  string(REPLACE "=" ";" parts "${pair}")
  list(GET parts 0 name)
  list(GET parts 1 path)
  file(READ "${path}" hex HEX)
  string(LENGTH "${hex}" hexlen)
  math(EXPR size "${hexlen} / 2")
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
  string(APPEND body "namespace {\nconst std::uint8_t k_${name}[${size}] = {\n${bytes}};\n}  // namespace\n")
  string(APPEND body "std::span<const std::uint8_t> ${name}() { return {k_${name}, ${size}}; }\n\n")
endforeach()
string(APPEND body "}  // namespace ${NAMESPACE}\n")
file(WRITE "${OUT}.tmp" "${body}")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
