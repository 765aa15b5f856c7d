# What screen readers read on X11 (labels "atspi" and "display"): a headless
# AT-SPI client reading every window of the accept path, the launcher's start
# where no accessibility can be had, and real Orca speaking the path.
if(NOT TARGET democd OR NOT TARGET rt_fltk)
  return()
endif()
find_program(DBUS_RUN_SESSION_PROGRAM dbus-run-session)
find_program(XVFB_PROGRAM Xvfb)
find_program(XDOTOOL_PROGRAM xdotool)
execute_process(COMMAND /usr/bin/python3 -c "import gi; gi.require_version('Atspi', '2.0')"
                RESULT_VARIABLE _no_atspi_python OUTPUT_QUIET ERROR_QUIET)
set(_why "")
if(NOT START_ATK_MODULE)
  set(_why "the accessibility module is not built: ATK or its AT-SPI bridge missing (libatk1.0-dev, libatk-bridge2.0-dev)")
elseif(NOT DBUS_RUN_SESSION_PROGRAM OR NOT XVFB_PROGRAM OR NOT XDOTOOL_PROGRAM OR _no_atspi_python)
  set(_why "dbus-run-session, Xvfb, xdotool or python3-gi with gir1.2-atspi-2.0 missing")
endif()
if(_why)
  message(WARNING "${_why}: the AT-SPI tests report themselves skipped")
  foreach(_test atspi_read_windows atspi_fallbacks atspi_orca atspi_read_gallery)
    start_skipped_test(${_test} "atspi;display" "${_why}")
  endforeach()
  return()
endif()
set(_atspi ${CMAKE_CURRENT_SOURCE_DIR}/atspi)
add_test(NAME atspi_read_windows
  COMMAND bash ${_atspi}/in_session.sh /usr/bin/python3 ${_atspi}/read_windows.py ${CMAKE_BINARY_DIR}/cd/start)
add_test(NAME atspi_fallbacks COMMAND bash ${_atspi}/fallbacks.sh ${CMAKE_BINARY_DIR}/cd)
set(_atspi_env "LSAN_OPTIONS=suppressions=${_atspi}/lsan.supp:print_suppressions=0" "DRIVER_LAYOUTS=$<TARGET_FILE:layouts>")
set_tests_properties(atspi_read_windows atspi_fallbacks PROPERTIES LABELS "atspi;display" TIMEOUT 120
  ENVIRONMENT "${_atspi_env}")
find_program(ORCA_PROGRAM orca)
if(ORCA_PROGRAM)
  add_test(NAME atspi_orca
    COMMAND bash ${_atspi}/in_session.sh bash ${_atspi}/orca_walk.sh ${CMAKE_BINARY_DIR}/cd/start)
  # Long (real speech): early, not last.
  set_tests_properties(atspi_orca PROPERTIES LABELS "atspi;display" TIMEOUT 180 ENVIRONMENT "${_atspi_env}" COST 100)
else()
  start_skipped_test(atspi_orca "atspi;display"
    "orca is not installed (tools/install-deps.sh --tests installs it where the mirror has it)")
endif()

# The gallery finds the module beside it, as the launcher does.
add_custom_command(TARGET gallery POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:mirelund-atk> $<TARGET_FILE_DIR:gallery>/
  VERBATIM)
add_dependencies(gallery mirelund-atk)
add_test(NAME atspi_read_gallery
  COMMAND bash ${_atspi}/in_session.sh /usr/bin/python3 ${_atspi}/read_gallery.py $<TARGET_FILE:gallery>)
set_tests_properties(atspi_read_gallery PROPERTIES LABELS "atspi;display" TIMEOUT 60 ENVIRONMENT "${_atspi_env}")
