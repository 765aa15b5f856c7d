# The whole launcher from the demo CD on Xvfb, one test per scenario (labels
# "display" and "sequence"): accept everything (with the real wait), and decline; and
# under each real window manager installed (labels "display" and "wm").
if(TARGET democd AND TARGET pngprobe)
  # Under the sanitizers: fontconfig's caches live as long as the process.
  set(_sequence_lsan "suppressions=${CMAKE_CURRENT_LIST_DIR}/display/lsan.supp:print_suppressions=0")
  foreach(scenario accept decline)
    add_test(NAME sequence_${scenario}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sequence/sequence_test.sh ${scenario}
        ${CMAKE_BINARY_DIR}/cd $<TARGET_FILE:pngprobe> ${CMAKE_BINARY_DIR}/sequence-screens/${scenario})
    set_tests_properties(sequence_${scenario} PROPERTIES LABELS "display;sequence" TIMEOUT 90
      ENVIRONMENT "LSAN_OPTIONS=${_sequence_lsan};DRIVER_LAYOUTS=$<TARGET_FILE:layouts>")
  endforeach()
  # Both setups also start from a CD copied into a plain folder, and from a
  # mounted one whose name holds a backslash.
  foreach(place copied backslash)
    add_test(NAME sequence_accept_${place}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sequence/sequence_test.sh accept
        ${CMAKE_BINARY_DIR}/cd $<TARGET_FILE:pngprobe> ${CMAKE_BINARY_DIR}/sequence-screens/accept-${place} ${place})
    set_tests_properties(sequence_accept_${place} PROPERTIES LABELS "display;sequence" TIMEOUT 90
      ENVIRONMENT "LSAN_OPTIONS=${_sequence_lsan};DRIVER_LAYOUTS=$<TARGET_FILE:layouts>")
  endforeach()
endif()

if(TARGET democd)
  # GNOME (mutter as a GNOME session sets it up) and KDE Plasma (KWin with
  # its Breeze frame), on X11 and as Wayland compositors with XWayland.
  find_program(DBUS_RUN_SESSION_PROGRAM dbus-run-session)
  find_program(GLIB_COMPILE_SCHEMAS_PROGRAM glib-compile-schemas)
  find_program(GSETTINGS_PROGRAM gsettings)
  find_program(XWAYLAND_PROGRAM Xwayland)
  find_program(XMESSAGE_PROGRAM xmessage)
  foreach(wm openbox xfwm4 metacity blackbox fluxbox pekwm mutter kwin_x11 mutter-wayland kwin_wayland)
    string(REGEX REPLACE "-wayland$" "" program ${wm})
    find_program(WM_${wm}_PROGRAM ${program})
    set(missing "")
    if(NOT WM_${wm}_PROGRAM)
      set(missing ${program})
    elseif(wm MATCHES "xfwm4|metacity|mutter|kwin" AND NOT DBUS_RUN_SESSION_PROGRAM)
      set(missing dbus-run-session)
    elseif(wm MATCHES "mutter" AND NOT (GLIB_COMPILE_SCHEMAS_PROGRAM AND GSETTINGS_PROGRAM))
      set(missing "glib-compile-schemas or gsettings")
    elseif(wm MATCHES "wayland" AND NOT XWAYLAND_PROGRAM)
      set(missing Xwayland)
    elseif(NOT XMESSAGE_PROGRAM)
      set(missing xmessage)
    endif()
    if(missing)
      message(STATUS "${missing} missing: wm_${wm} reports itself skipped")
      start_skipped_test(wm_${wm} "display;wm;sequence" "${missing} missing: no run under ${wm}")
      continue()
    endif()
    add_test(NAME wm_${wm}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sequence/wm_test.sh ${wm} ${CMAKE_BINARY_DIR}/cd
        ${CMAKE_BINARY_DIR}/wm-screens/${wm})
    set_tests_properties(wm_${wm} PROPERTIES LABELS "display;wm;sequence" TIMEOUT 120
      ENVIRONMENT "DRIVER_LAYOUTS=$<TARGET_FILE:layouts>")
    set(WM_${wm}_RUNS ON)
  endforeach()

  # Two monitors of different sizes (KWin's virtual ones are all of one
  # size): GNOME and KDE on Wayland, GNOME also with the primary monitor on
  # the right; on X11 Xephyr's two screens joined by Xinerama, under openbox.
  find_program(XEPHYR_PROGRAM Xephyr)
  foreach(run mutter-wayland:two mutter-wayland:two-right kwin_wayland:two openbox:two)
    string(REPLACE ":" ";" run ${run})
    list(GET run 0 wm)
    list(GET run 1 layout)
    if(NOT WM_${wm}_RUNS)
      continue()
    elseif(wm STREQUAL "openbox" AND NOT XEPHYR_PROGRAM)
      message(STATUS "Xephyr missing: no test with two X11 monitors")
      continue()
    endif()
    add_test(NAME wm_${wm}_${layout}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sequence/wm_test.sh ${wm} ${CMAKE_BINARY_DIR}/cd
        ${CMAKE_BINARY_DIR}/wm-screens/${wm}_${layout} ${layout})
    set_tests_properties(wm_${wm}_${layout} PROPERTIES LABELS "display;wm;sequence" TIMEOUT 120
      ENVIRONMENT "DRIVER_LAYOUTS=$<TARGET_FILE:layouts>")
  endforeach()
endif()

# The benchmark's walk from a fresh clone: run.py's own layouts program.
if(TARGET layouts AND XVFB_PROGRAM)
  add_test(NAME bench_walk_layouts
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sequence/bench_walk_test.sh $<TARGET_FILE:layouts>)
  set_tests_properties(bench_walk_layouts PROPERTIES LABELS display TIMEOUT 60)
endif()
