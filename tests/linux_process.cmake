# Tests of the Linux program folder, program start and desktop settings: the
# backend's part that needs no FLTK and no display.
if(TARGET rt_fltk_process)
  add_executable(program_folder_printer program_folder_printer.cpp)
  target_link_libraries(program_folder_printer PRIVATE rt_fltk_process)

  add_executable(linux_process_tests linux_process_test.cpp program_folder_test.cpp xsettings_test.cpp)
  target_link_libraries(linux_process_tests PRIVATE rt_fltk_process GTest::gtest_main)
  target_compile_definitions(linux_process_tests PRIVATE
    PROGRAM_FOLDER_PRINTER="$<TARGET_FILE:program_folder_printer>")
  add_dependencies(linux_process_tests program_folder_printer)
  gtest_discover_tests(linux_process_tests DISCOVERY_TIMEOUT 60)
endif()
