# The disc image (label "image"): its layout, and with it mounted read-only
# (fixture image_mount) its files, its manual, and both launchers walking the
# accept path from it (labels "display" and "sequence"; the Windows one also
# "wine"). The CD's START.EXE is held against Windows XP SP3 here, where the
# image's cross build makes it.
if(CMAKE_CROSSCOMPILING OR START_SANITIZE)
  return()  # the image is the release build's
elseif(NOT TARGET image OR NOT TARGET pngprobe)
  start_skipped_test(image_tests image "no disc image in this build: cairo, xorriso, MinGW-w64 (i686) or a display tool missing")
  return()
endif()
set(_image bash ${CMAKE_CURRENT_SOURCE_DIR}/image/image_test.sh)

add_test(NAME image_mount COMMAND ${_image} mount ${CMAKE_BINARY_DIR})
add_test(NAME image_unmount COMMAND ${_image} unmount ${CMAKE_BINARY_DIR})
set_tests_properties(image_mount PROPERTIES FIXTURES_SETUP image_mount LABELS image)
set_tests_properties(image_unmount PROPERTIES FIXTURES_CLEANUP image_mount LABELS image)
add_test(NAME image_layout COMMAND ${_image} layout ${CMAKE_BINARY_DIR})
set_tests_properties(image_layout PROPERTIES LABELS image)
foreach(_case files manual)
  add_test(NAME image_${_case} COMMAND ${_image} ${_case} ${CMAKE_BINARY_DIR})
  set_tests_properties(image_${_case} PROPERTIES LABELS image FIXTURES_REQUIRED image_mount)
endforeach()
add_test(NAME image_windows COMMAND ${_image} windows ${CMAKE_BINARY_DIR})
add_test(NAME image_linux COMMAND ${_image} linux ${CMAKE_BINARY_DIR})
set_tests_properties(image_windows PROPERTIES
  LABELS "image;display;sequence;wine" FIXTURES_REQUIRED image_mount TIMEOUT 600
  ENVIRONMENT "DRIVER_LAYOUTS=$<TARGET_FILE:layouts>")
set_tests_properties(image_linux PROPERTIES LABELS "image;display;sequence" FIXTURES_REQUIRED image_mount TIMEOUT 120
  ENVIRONMENT "DRIVER_LAYOUTS=$<TARGET_FILE:layouts>")

set(_start_exe ${CMAKE_BINARY_DIR}/win32/cd/START.EXE)
add_test(NAME start_exe_i686 COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/start_exe.sh i686 ${_start_exe})
add_test(NAME start_exe_xp_imports
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/xp_imports.sh i686-w64-mingw32-objdump ${_start_exe})
add_test(NAME start_exe_xp_manifest
  COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/win32/xp_manifest.sh ${PROJECT_SOURCE_DIR}/runtime/win32/start.manifest.in x86
    i686-w64-mingw32-objcopy ${_start_exe})

# The disc built a second time in another folder, later, with only the
# targets that make it (fixture image_second_build, alone on the machine:
# it takes every core), and compared to the byte; then that second tree
# signed with throw-away keys.
set(_reproduce bash ${CMAKE_CURRENT_SOURCE_DIR}/image/reproduce.sh)
add_test(NAME image_second_build COMMAND ${_reproduce} build ${CMAKE_BINARY_DIR} ${CMAKE_GENERATOR} ${CMAKE_BUILD_TYPE})
set_tests_properties(image_second_build PROPERTIES
  FIXTURES_SETUP image_second_build LABELS "image;reproducible" RUN_SERIAL ON TIMEOUT 1800)
add_test(NAME image_reproducible COMMAND ${_reproduce} compare ${CMAKE_BINARY_DIR})
set_tests_properties(image_reproducible PROPERTIES FIXTURES_REQUIRED image_second_build LABELS "image;reproducible")
find_program(OSSLSIGNCODE osslsigncode)
find_program(OPENSSL openssl)
if(OSSLSIGNCODE AND OPENSSL)
  add_test(NAME image_signed COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/image/signing.sh ${CMAKE_BINARY_DIR})
  # It signs the second tree: after the comparison.
  set_tests_properties(image_signed PROPERTIES
    FIXTURES_REQUIRED image_second_build DEPENDS image_reproducible LABELS "image;signing" TIMEOUT 600)
else()
  message(STATUS "osslsigncode or openssl not found: no signing test")
endif()
