# Tests of the Linux program folder, program start and desktop settings. The sources are
# built once more into a small library of their own, so these tests need no
# FLTK and no display.
if(NOT WIN32 AND NOT CMAKE_CROSSCOMPILING)
  add_library(linux_process STATIC
    ${PROJECT_SOURCE_DIR}/runtime/fltk/program_folder.cpp
    ${PROJECT_SOURCE_DIR}/runtime/fltk/program_start.cpp
    ${PROJECT_SOURCE_DIR}/runtime/fltk/xsettings.cpp)
  target_include_directories(linux_process PUBLIC ${PROJECT_SOURCE_DIR})

  add_executable(program_folder_printer program_folder_printer.cpp)
  target_link_libraries(program_folder_printer PRIVATE linux_process)

  add_executable(linux_process_tests linux_process_test.cpp program_folder_test.cpp xsettings_test.cpp)
  target_link_libraries(linux_process_tests PRIVATE linux_process GTest::gtest_main)
  target_compile_definitions(linux_process_tests PRIVATE
    PROGRAM_FOLDER_PRINTER="$<TARGET_FILE:program_folder_printer>")
  add_dependencies(linux_process_tests program_folder_printer)
  gtest_discover_tests(linux_process_tests DISCOVERY_TIMEOUT 60)

  include(${CMAKE_CURRENT_LIST_DIR}/sequence.cmake OPTIONAL)
endif()
