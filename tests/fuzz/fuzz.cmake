# A fuzz target for every reader of bytes from outside the program. With
# START_FUZZ (clang, made by tools/test-quality/fuzz) each is a libFuzzer program; in the
# sanitizer tree each is also a plain program that replays its corpus in
# tests/fuzz/corpus/NAME, so that every input ever found stays checked.
if(NOT START_FUZZ AND NOT START_SANITIZE)
  return()
endif()
set(_fuzz_dir ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)

# start_fuzzer(NAME SOURCE LIBRARIES...)
function(start_fuzzer name source)
  if(START_FUZZ)
    set(target fuzz_${name})
    add_executable(${target} ${_fuzz_dir}/${source})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
  else()
    set(target fuzz_${name}_replay)
    add_executable(${target} ${_fuzz_dir}/${source} ${_fuzz_dir}/replay_main.cpp)
    add_test(NAME ${target} COMMAND ${target} ${_fuzz_dir}/corpus/${name})
  endif()
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PRIVATE ${ARGN})
endfunction()

start_fuzzer(picture picture_fuzz.cpp rt_core)
# The same checks in front of stb_image's JPEG decoder, which the Windows
# build uses: the core again, with the other decoder.
add_library(fuzz_core_stb STATIC
  ${PROJECT_SOURCE_DIR}/runtime/picture.cpp ${PROJECT_SOURCE_DIR}/runtime/picture_stb.cpp
  ${PROJECT_SOURCE_DIR}/runtime/picture_jpeg_stb.cpp ${PROJECT_SOURCE_DIR}/runtime/error.cpp)
target_include_directories(fuzz_core_stb PUBLIC ${PROJECT_SOURCE_DIR})
target_include_directories(fuzz_core_stb SYSTEM PRIVATE ${STB_INCLUDE_DIR})
# stb_image 2.27's JPEG decoder, where a scan's data ends before its blocks
# do, lets its bit count go below zero and then shifts a zero byte by 32 or
# more (stbi__grow_buffer_unsafe, found by the fuzzer picture_stb). The
# result is the zero it should be on every target, but the shift is undefined:
# shifts are not checked in that one file (g++ turns off no finer part of
# the check), every other check stays.
set_source_files_properties(${PROJECT_SOURCE_DIR}/runtime/picture_stb.cpp TARGET_DIRECTORY fuzz_core_stb
                            PROPERTIES COMPILE_OPTIONS -fno-sanitize=shift)
start_fuzzer(picture_stb picture_fuzz.cpp fuzz_core_stb)
start_fuzzer(line_breaker line_breaker_fuzz.cpp rt_headless)
start_fuzzer(win32_rules win32_rules_fuzz.cpp rt_win32_rules)
if(TARGET rt_fltk_process)
  start_fuzzer(xsettings xsettings_fuzz.cpp rt_fltk_process)
  start_fuzzer(linux_folder linux_folder_fuzz.cpp rt_fltk_process)
endif()
if(TARGET rt_fltk)
  start_fuzzer(display display_fuzz.cpp rt_fltk)
endif()
