# The Win32 backend's tests. Its pure rules are tested in every build; the
# backend itself in the Windows build, under wine on a display (wine.cmake).
# A third stub setup stands in for C:\Program.exe in the quoting check.
add_executable(win32_rules_tests win32/rules_test.cpp)
target_link_libraries(win32_rules_tests PRIVATE rt_win32_rules GTest::gtest GTest::gtest_main)
target_include_directories(win32_rules_tests PRIVATE ${PROJECT_SOURCE_DIR})
start_gtests(win32_rules_tests)

if(TARGET rt_win32)
  add_executable(win32_backend_tests
    win32/windows_test.cpp win32/input_test.cpp win32/paint_test.cpp win32/services_test.cpp)
  target_link_libraries(win32_backend_tests PRIVATE rt_win32 GTest::gtest GTest::gtest_main)
  target_include_directories(win32_backend_tests PRIVATE ${PROJECT_SOURCE_DIR})
  start_gtests(win32_backend_tests DISPLAY)

  # What screen readers read of the program's own windows.
  add_executable(win32_access_tests win32/access_test.cpp)
  target_link_libraries(win32_access_tests PRIVATE logic rt_win32 oleacc oleaut32 GTest::gtest GTest::gtest_main)
  target_include_directories(win32_access_tests PRIVATE ${PROJECT_SOURCE_DIR})
  start_gtests(win32_access_tests DISPLAY)
endif()

if(COMMAND democd_win32_stub)
  democd_win32_stub(stub_decoy "Falsches Programm" ${CMAKE_BINARY_DIR}/tests Program)
endif()
