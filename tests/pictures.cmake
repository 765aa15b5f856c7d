# Tests of the pictures: the committed files' formats and decoding, the
# runtime's decoder on corrupt input, the generator's parts, and that the
# generator still makes exactly the committed files.
add_executable(picture_tests pictures_test.cpp picture_decode_test.cpp)
target_link_libraries(picture_tests PRIVATE forms rt_core GTest::gtest_main)
target_include_directories(picture_tests PRIVATE ${PROJECT_SOURCE_DIR})
if(NOT CMAKE_CROSSCOMPILING)
  target_compile_definitions(picture_tests PRIVATE PICTURES_DIR="${PROJECT_SOURCE_DIR}/forms/pictures")
endif()
start_gtests(picture_tests)

if(TARGET artgen)
  add_executable(artgen_tests artgen_test.cpp)
  target_link_libraries(artgen_tests PRIVATE artgen_lib rt_core GTest::gtest_main)
  target_include_directories(artgen_tests PRIVATE ${PROJECT_SOURCE_DIR})
  if(EXISTS /usr/share/fonts/truetype/liberation/LiberationSerif-Bold.ttf)
    target_compile_definitions(artgen_tests PRIVATE
      ARTGEN_FONT_DIR="/usr/share/fonts/truetype/liberation")
  endif()
  gtest_discover_tests(artgen_tests DISCOVERY_TIMEOUT 60)

  add_test(NAME artgen_makes_the_committed_pictures
    COMMAND ${CMAKE_COMMAND} -DARTGEN=$<TARGET_FILE:artgen>
            -DEXPECTED=${PROJECT_SOURCE_DIR}/forms/pictures
            -DWORK=${CMAKE_CURRENT_BINARY_DIR}/artgen_check
            -P ${CMAKE_CURRENT_SOURCE_DIR}/artgen_check.cmake)
endif()
