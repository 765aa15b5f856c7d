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

  # The planted-DLL run (wine.cmake): the canary, the control that loads it
  # carelessly, and a screen reader's stand-in. The canary carries its own
  # runtime: a DLL it needed beside it would fail to load and note nothing.
  add_library(planted_canary SHARED win32/planted/canary_dll.cpp)
  set_target_properties(planted_canary PROPERTIES PREFIX "" OUTPUT_NAME canary)
  target_link_options(planted_canary PRIVATE -static -static-libgcc -static-libstdc++)
  add_executable(canary_probe win32/planted/canary_probe.cpp)
  target_link_libraries(canary_probe PRIVATE rt_win32)
  target_include_directories(canary_probe PRIVATE ${PROJECT_SOURCE_DIR})
  add_executable(access_client win32/planted/access_client.cpp)
  target_link_libraries(access_client PRIVATE oleacc oleaut32 ole32)
  add_executable(refusal_probe win32/planted/refusal_probe.cpp)
  target_link_libraries(refusal_probe PRIVATE rt_win32)
  target_include_directories(refusal_probe PRIVATE ${PROJECT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY RT_WIN32_PROGRAMS refusal_probe)
  target_link_options(canary_probe PRIVATE -municode)
  target_link_options(access_client PRIVATE -municode)
  target_link_options(refusal_probe PRIVATE -municode)

  # START.EXE as XP, Vista and 7 without KB2533623 run it (start_xp), and
  # there with setups that ask for elevation (start_elevation): the
  # program's own objects with another SystemFunction (seams/).
  foreach(_variant xp elevation)
    add_executable(start_${_variant} ${PROJECT_SOURCE_DIR}/setup/main.cpp win32/seams/older_windows.cpp)
    target_link_libraries(start_${_variant} PRIVATE logic rt_platform)
    target_include_directories(start_${_variant} PRIVATE ${PROJECT_SOURCE_DIR})
    set_property(GLOBAL APPEND PROPERTY RT_WIN32_PROGRAMS start_${_variant})
  endforeach()
  target_compile_definitions(start_elevation PRIVATE START_ELEVATION_REQUIRED)
endif()

if(COMMAND democd_win32_stub)
  democd_win32_stub(stub_decoy "Falsches Programm" ${CMAKE_BINARY_DIR}/tests Program)
endif()
