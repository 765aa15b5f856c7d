# Embeds the picture files of forms/pictures/ into the program as byte arrays.
set(_pictures_dir ${CMAKE_CURRENT_LIST_DIR}/pictures)
set(_pictures
  MainIcon=main_icon.ico
  MainBackground=main_background.bmp
  WelcomeInset=welcome_inset.jpg
  WelcomeScreen=welcome.jpg
  DialogIcon=dialog_icon.ico
  ReaderProduct=reader_product.bmp
  ProductRange=product_range.jpg)
set(_pictures_arg "")
set(_pictures_files "")
foreach(_entry IN LISTS _pictures)
  string(REPLACE "=" ";" _parts "${_entry}")
  list(GET _parts 0 _name)
  list(GET _parts 1 _file)
  list(APPEND _pictures_files ${_pictures_dir}/${_file})
  if(_pictures_arg)
    string(APPEND _pictures_arg "|")
  endif()
  string(APPEND _pictures_arg "${_name}=${_pictures_dir}/${_file}")
endforeach()

set(FORMS_PICTURE_SOURCES ${CMAKE_CURRENT_BINARY_DIR}/pictures_embedded.cpp)
add_custom_command(
  OUTPUT ${FORMS_PICTURE_SOURCES}
  COMMAND ${CMAKE_COMMAND} -DOUT=${FORMS_PICTURE_SOURCES} -DNAMESPACE=forms::pictures
          "-DFILES=${_pictures_arg}" -P ${PROJECT_SOURCE_DIR}/cmake/embed.cmake
  DEPENDS ${_pictures_files} ${PROJECT_SOURCE_DIR}/cmake/embed.cmake
  COMMENT "Embedding the pictures"
  VERBATIM)
