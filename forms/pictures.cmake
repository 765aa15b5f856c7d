# Embeds every picture file of forms/pictures/ into the program as a byte
# array. A file's function is its name without the extension, in CamelCase:
# dialog_icon.ico gives forms::pictures::DialogIcon(). The header declaring
# them is written here, at configure time; a new file re-runs the configure.
set(_pictures_dir ${CMAKE_CURRENT_LIST_DIR}/pictures)
file(GLOB _pictures_files CONFIGURE_DEPENDS ${_pictures_dir}/*)
list(SORT _pictures_files)
set(_pictures_arg "")
set(_pictures_decls "")
set(_pictures_table "")
foreach(_path IN LISTS _pictures_files)
  get_filename_component(_file ${_path} NAME)
  get_filename_component(_stem ${_path} NAME_WE)
  if(NOT _stem MATCHES "^[a-z][a-z0-9]*(_[a-z0-9]+)*$")
    message(FATAL_ERROR "forms/pictures/${_file}: a picture's name is lower case words joined by _")
  endif()
  string(REPLACE "_" ";" _words ${_stem})
  set(_name "")
  foreach(_word IN LISTS _words)
    string(SUBSTRING ${_word} 0 1 _first)
    string(SUBSTRING ${_word} 1 -1 _rest)
    string(TOUPPER ${_first} _first)
    string(APPEND _name ${_first}${_rest})
  endforeach()
  if(_pictures_arg)
    string(APPEND _pictures_arg "|")
  endif()
  string(APPEND _pictures_arg "${_name}=${_path}")
  string(APPEND _pictures_decls "std::span<const std::uint8_t> ${_name}();  // ${_file}\n")
  string(APPEND _pictures_table "    {\"${_file}\", ${_name}},\n")
endforeach()

set(FORMS_PICTURES_INCLUDE ${CMAKE_CURRENT_BINARY_DIR}/include)
set(_pictures_header_text "// Made by forms/pictures.cmake from the files in forms/pictures/: each
// picture is the whole file, bytes as they stand on disk.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace forms::pictures {

${_pictures_decls}
// Every picture with its file's name, in the order of the names.
struct File {
  std::string_view name;
  std::span<const std::uint8_t> (*bytes)();
};
inline constexpr File kFiles[] = {
${_pictures_table}};

}  // namespace forms::pictures
")
file(CONFIGURE OUTPUT ${FORMS_PICTURES_INCLUDE}/forms/pictures.h CONTENT "${_pictures_header_text}" @ONLY)

set(FORMS_PICTURE_SOURCES ${CMAKE_CURRENT_BINARY_DIR}/pictures_embedded.cpp)
add_custom_command(
  OUTPUT ${FORMS_PICTURE_SOURCES}
  COMMAND ${CMAKE_COMMAND} -DOUT=${FORMS_PICTURE_SOURCES} -DNAMESPACE=forms::pictures
          "-DFILES=${_pictures_arg}" -P ${PROJECT_SOURCE_DIR}/cmake/embed.cmake
  DEPENDS ${_pictures_files} ${PROJECT_SOURCE_DIR}/cmake/embed.cmake
  COMMENT "Embedding the pictures"
  VERBATIM)
