# The whole launcher from the demo CD on Xvfb, one test per scenario (label
# "display"): accept everything (with the real 20 s wait), and decline. The
# pixel probe is the display tests' own.
if(TARGET democd AND NOT TARGET pngprobe AND EXISTS ${CMAKE_CURRENT_LIST_DIR}/display/pngprobe.cpp)
  add_executable(pngprobe ${CMAKE_CURRENT_LIST_DIR}/display/pngprobe.cpp)
  target_include_directories(pngprobe SYSTEM PRIVATE ${STB_INCLUDE_DIR})
endif()
if(TARGET democd AND TARGET pngprobe)
  foreach(scenario accept decline)
    add_test(NAME sequence_${scenario}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sequence/sequence_test.sh ${scenario}
        ${CMAKE_BINARY_DIR}/cd $<TARGET_FILE:pngprobe> ${CMAKE_BINARY_DIR}/sequence-screens/${scenario})
    set_tests_properties(sequence_${scenario} PROPERTIES LABELS display TIMEOUT 90)
  endforeach()
  # Both setups also start from a CD copied into a plain folder, and from a
  # mounted one whose name holds a backslash.
  foreach(place copied backslash)
    add_test(NAME sequence_accept_${place}
      COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/sequence/sequence_test.sh accept
        ${CMAKE_BINARY_DIR}/cd $<TARGET_FILE:pngprobe> ${CMAKE_BINARY_DIR}/sequence-screens/accept-${place} ${place})
    set_tests_properties(sequence_accept_${place} PROPERTIES LABELS display TIMEOUT 90)
  endforeach()
endif()
