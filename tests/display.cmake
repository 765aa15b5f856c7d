# The FLTK backend's tests: unit tests of its display-free parts, and display
# tests, each on its own Xvfb (label "display"), driven by the gallery.
if(NOT TARGET rt_fltk)
  return()
endif()

add_executable(gallery gallery.cpp)
target_link_libraries(gallery PRIVATE logic rt_platform)

add_executable(wmclose display/wmclose.cpp)
target_link_libraries(wmclose PRIVATE X11)

find_program(XVFB_PROGRAM Xvfb)
find_program(XDOTOOL_PROGRAM xdotool)
find_program(IMPORT_PROGRAM import)
if(NOT XVFB_PROGRAM OR NOT XDOTOOL_PROGRAM OR NOT IMPORT_PROGRAM)
  message(WARNING "Xvfb, xdotool or ImageMagick missing: the display tests report themselves skipped")
  start_skipped_test(display_tests display "Xvfb, xdotool or ImageMagick missing")
  return()
endif()

set(_display_env
  "GALLERY=$<TARGET_FILE:gallery>" "PROBE=$<TARGET_FILE:pngprobe>" "WMCLOSE=$<TARGET_FILE:wmclose>"
  "DRIVER_LAYOUTS=$<TARGET_FILE:layouts>"
  "PICTURES=${PROJECT_SOURCE_DIR}/forms/pictures"
  "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/display/lsan.supp:print_suppressions=0")
function(display_test name script)
  add_test(NAME display_${name} COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/display/${script} ${ARGN})
  set_tests_properties(display_${name} PROPERTIES LABELS display TIMEOUT 90 ENVIRONMENT "${_display_env}")
endfunction()

display_test(welcome_800x600 welcome.sh 800x600)
display_test(welcome_1024x768 welcome.sh 1024x768)
foreach(_case yesno yesno_ok newbox_game newbox_ok newbox_not_found newbox_not_started msgbox)
  display_test(dialog_${_case} dialogs.sh ${_case})
endforeach()
foreach(_case yesno_enter yesno_tab_enter yesno_shift_tab_space yesno_alt_j yesno_escape yesno_click_overlap
              yesno_click_gap yesno_moved yesno_alt_f4 newbox_ok_escape newbox_game_yes newbox_wm_close
              msgbox_refuse_confirmed option_end option_tooltip
              confirm_takes_keyboard)
  display_test(input_${_case} input.sh ${_case})
endforeach()

add_executable(fltk_unit_tests display/backend_unit_test.cpp)
target_link_libraries(fltk_unit_tests PRIVATE rt_fltk GTest::gtest GTest::gtest_main)
gtest_discover_tests(fltk_unit_tests DISCOVERY_TIMEOUT 60)

add_executable(fltk_display_tests display/backend_display_test.cpp)
target_link_libraries(fltk_display_tests PRIVATE rt_fltk Xfixes GTest::gtest GTest::gtest_main)
add_test(NAME display_backend COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/display/run_xvfb.sh
         $<TARGET_FILE:fltk_display_tests>)
set_tests_properties(display_backend PROPERTIES LABELS display TIMEOUT 60
  ENVIRONMENT "LSAN_OPTIONS=suppressions=${CMAKE_CURRENT_SOURCE_DIR}/display/lsan.supp:print_suppressions=0")
