# The Windows tree under wine. One Xvfb and one wine prefix for the whole
# ctest run (fixtures wine_display and wine_prefix, made by wine.sh); the
# tests that open windows take the screen in turn (RESOURCE_LOCK). Then the
# whole launcher from the demo CD (label "sequence"): run A from D:\
# accepting everything under each Windows version wine reports, and on a
# 7680x4320 screen; run B from "C:\Program Files\Mirelund CD" refusing
# Acrobat Reader.
set(_wine ${CMAKE_CURRENT_SOURCE_DIR}/win32/wine.sh)
if(CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  set(_winxp winxp64)  # a 64-bit prefix knows no 32-bit XP
else()
  set(_winxp winxp)
endif()

add_test(NAME wine_display_up
  COMMAND bash ${_wine} display-up ${START_WINE_WORK} ${CMAKE_CURRENT_SOURCE_DIR}/display/pngprobe.cpp)
add_test(NAME wine_display_down COMMAND bash ${_wine} display-down ${START_WINE_WORK})
set_tests_properties(wine_display_up PROPERTIES FIXTURES_SETUP wine_display LABELS "wine;display")
set_tests_properties(wine_display_down PROPERTIES FIXTURES_CLEANUP wine_display LABELS "wine;display")
# Wine reports Windows XP to every test but the runs A under 7 and 10.
add_test(NAME wine_prefix_up COMMAND bash ${_wine} prefix-up ${START_WINE_WORK} ${WINE_PROGRAM} ${_winxp})
add_test(NAME wine_prefix_down COMMAND bash ${_wine} prefix-down ${START_WINE_WORK} ${WINE_PROGRAM})
set_tests_properties(wine_prefix_up PROPERTIES
  FIXTURES_SETUP wine_prefix FIXTURES_REQUIRED wine_display LABELS wine TIMEOUT 300)
set_tests_properties(wine_prefix_down PROPERTIES
  FIXTURES_CLEANUP wine_prefix FIXTURES_REQUIRED wine_display LABELS wine)

if(TARGET win32_backend_tests)
  add_test(NAME win32_backend_tests_cp1251
    COMMAND bash ${_wine} codepage ${START_WINE_WORK} ${WINE_PROGRAM} ru_RU.UTF-8 1251
      $<TARGET_FILE:win32_backend_tests>
      "--gtest_filter=Encoding.*:InputTest.Typed*:ProgramFolder.*:ProgramStart.*:PaintTest.*:WindowsTest.Tooltip*:WindowsTest.Buttons*:WindowsTest.DialogHas*")
  set_tests_properties(win32_backend_tests_cp1251 PROPERTIES
    LABELS "wine;display" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_display TIMEOUT 300)
endif()

# The runs take the windows' figures from the program: the layouts program
# of this tree, under wine.
set(_layouts_env "LAYOUTS=$<TARGET_FILE:layouts>")
if(TARGET democd AND TARGET stub_decoy)
  set(_runs ${CMAKE_CURRENT_SOURCE_DIR}/win32/launcher_runs.sh)
  foreach(_version ${_winxp} win7 win10)
    add_test(NAME wine_run_a_${_version}
      COMMAND bash ${_runs} a ${_version} ${START_WINE_WORK} ${WINE_PROGRAM} ${CMAKE_BINARY_DIR}/cd ${_winxp})
    set_tests_properties(wine_run_a_${_version} PROPERTIES ENVIRONMENT "${_layouts_env}"
      LABELS "wine;display;sequence" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_display TIMEOUT 180)
  endforeach()
  # Run B compares its sound notice with run A's under code page 1252.
  set_tests_properties(wine_run_a_${_winxp} PROPERTIES FIXTURES_SETUP wine_run_a)
  # The other versions are the prefix's for their run's length.
  set_tests_properties(wine_run_a_win7 wine_run_a_win10 PROPERTIES RUN_SERIAL ON)
  add_test(NAME wine_run_b
    COMMAND bash ${_runs} b ${_winxp} ${START_WINE_WORK} ${WINE_PROGRAM} ${CMAKE_BINARY_DIR}/cd
      $<TARGET_FILE:stub_decoy>)
  set_tests_properties(wine_run_b PROPERTIES ENVIRONMENT "${_layouts_env}"
    LABELS "wine;display;sequence" FIXTURES_REQUIRED "wine_prefix;wine_run_a" RESOURCE_LOCK wine_display
    TIMEOUT 180)
  # Run P: run A with DLLs planted beside START.EXE, none of which may load.
  if(TARGET planted_canary)
    add_test(NAME wine_run_planted_dlls
      COMMAND bash ${_runs} p ${_winxp} ${START_WINE_WORK} ${WINE_PROGRAM} ${CMAKE_BINARY_DIR}/cd
        $<TARGET_FILE:planted_canary> $<TARGET_FILE:canary_probe> $<TARGET_FILE:access_client>)
    set_tests_properties(wine_run_planted_dlls PROPERTIES ENVIRONMENT "${_layouts_env}"
      LABELS "wine;display;sequence" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_display TIMEOUT 240)
    # The same with START.EXE on the branch of XP, Vista and 7 without
    # KB2533623, which wine never takes itself (start_xp).
    add_test(NAME wine_run_planted_dlls_xp
      COMMAND bash ${_runs} p ${_winxp} ${START_WINE_WORK} ${WINE_PROGRAM} ${CMAKE_BINARY_DIR}/cd
        $<TARGET_FILE:planted_canary> $<TARGET_FILE:canary_probe> $<TARGET_FILE:access_client>
        $<TARGET_FILE:start_xp>)
    set_tests_properties(wine_run_planted_dlls_xp PROPERTIES ENVIRONMENT "${_layouts_env}"
      LABELS "wine;display;sequence" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_display TIMEOUT 240)
    # Run M: a manifest planted beside START.EXE. It has the prefix report
    # Windows 10 for a while: alone.
    add_test(NAME wine_run_planted_manifest
      COMMAND bash ${_runs} m ${_winxp} ${START_WINE_WORK} ${WINE_PROGRAM} ${CMAKE_BINARY_DIR}/cd
        $<TARGET_FILE:planted_canary> $<TARGET_FILE:refusal_probe>)
    set_tests_properties(wine_run_planted_manifest PROPERTIES ENVIRONMENT "${_layouts_env}"
      LABELS "wine;display" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_display RUN_SERIAL ON TIMEOUT 240)
  endif()
  # Run E: setups that ask for elevation, started through the shell.
  if(TARGET start_elevation)
    add_test(NAME wine_run_elevation
      COMMAND bash ${_runs} e ${_winxp} ${START_WINE_WORK} ${WINE_PROGRAM} ${CMAKE_BINARY_DIR}/cd
        $<TARGET_FILE:start_elevation> $<TARGET_FILE:planted_canary>)
    set_tests_properties(wine_run_elevation PROPERTIES ENVIRONMENT "${_layouts_env}"
      LABELS "wine;display;sequence" FIXTURES_REQUIRED wine_prefix RESOURCE_LOCK wine_display TIMEOUT 240)
  endif()
  # Run A on a screen of 7680x4320, an Xvfb and a prefix of its own (so it
  # runs beside the tests that share the fixture's screen): a screen-sized
  # 32-bit bitmap is 133 MB there, so a launcher that kept copies of its
  # full-screen windows would run short of room in a 32-bit process. Its
  # screenshots of the whole screen take a minute each on a busy machine.
  add_test(NAME wine_run_a_8k
    COMMAND bash ${_runs} big 7680x4320 ${START_WINE_WORK} ${WINE_PROGRAM} ${CMAKE_BINARY_DIR}/cd ${_winxp})
  # The longest test of the tree: started first, so that the rest run beside
  # it rather than after it. CTest runs a test's dependencies, to any depth,
  # before it looks at costs; the unit tests lie deeper (under the prefix's
  # cleanup, which comes before the display's) than this run would.
  set_tests_properties(wine_run_a_8k PROPERTIES ENVIRONMENT "${_layouts_env}"
    LABELS "wine;display;sequence" FIXTURES_REQUIRED wine_display TIMEOUT 1500 COST 1000)
  set_property(TEST wine_prefix_down APPEND PROPERTY DEPENDS wine_run_a_8k)
endif()

# The CD's own START.EXE is checked where the disc image is made
# (image.cmake); the 64-bit one here is the tests' stand-in for it.
if(TARGET democd AND CMAKE_SYSTEM_PROCESSOR STREQUAL x86_64)
  add_test(NAME start_exe_x86_64
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/start_exe.sh x86_64 ${CMAKE_BINARY_DIR}/cd/START.EXE)
  # Its manifest names its own processor, as a 64-bit Windows wants.
  add_test(NAME start_exe_x86_64_manifest
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/xp_manifest.sh ${PROJECT_SOURCE_DIR}/runtime/win32/start.manifest.in
      amd64 ${CMAKE_OBJCOPY} ${CMAKE_BINARY_DIR}/cd/START.EXE)
endif()

# Two monitors under GNOME on Wayland, wine on its XWayland: a display and
# a prefix of its own, so it takes nothing of the run's.
if(TARGET democd)
  find_program(MUTTER_PROGRAM mutter)
  find_program(XWAYLAND_PROGRAM Xwayland)
  find_program(DBUS_RUN_SESSION_PROGRAM dbus-run-session)
  find_program(GLIB_COMPILE_SCHEMAS_PROGRAM glib-compile-schemas)
  find_program(GSETTINGS_PROGRAM gsettings)
  if(MUTTER_PROGRAM AND XWAYLAND_PROGRAM AND DBUS_RUN_SESSION_PROGRAM AND GLIB_COMPILE_SCHEMAS_PROGRAM AND
     GSETTINGS_PROGRAM)
    add_test(NAME wine_two_monitors
      COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/two_monitors.sh ${START_WINE_WORK}/two-monitors ${WINE_PROGRAM}
        ${CMAKE_BINARY_DIR}/cd)
    set_tests_properties(wine_two_monitors PROPERTIES LABELS "wine;display;sequence" TIMEOUT 300
      ENVIRONMENT "${_layouts_env}")
  else()
    message(STATUS "mutter, Xwayland or GLib's tools missing: no wine run on two monitors")
  endif()
endif()
