# The disc image ${CMAKE_BINARY_DIR}/mirelund.iso: the 32-bit START.EXE and the
# Windows stub setups from a cross build of this tree (in win32/), the Linux
# launcher of this build, and MANUAL.PDF drawn from the artwork. Built when
# cairo, xorriso and the i686 MinGW-w64 compiler are there; not in sanitizer
# builds, whose launcher is no release.
if(START_SANITIZE)
  return()
endif()
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
  pkg_check_modules(CAIRO QUIET IMPORTED_TARGET cairo)
endif()
if(NOT CAIRO_FOUND)
  message(STATUS "cairo not found: no MANUAL.PDF and no disc image")
  return()
endif()

add_executable(manualgen ${CMAKE_CURRENT_LIST_DIR}/manual/manualgen.cpp)
target_include_directories(manualgen SYSTEM PRIVATE ${STB_INCLUDE_DIR})
target_link_libraries(manualgen PRIVATE PkgConfig::CAIRO)

set(START_MANUAL ${CMAKE_BINARY_DIR}/MANUAL.PDF)
file(GLOB _pictures ${PROJECT_SOURCE_DIR}/forms/pictures/*)
add_custom_command(OUTPUT ${START_MANUAL}
  COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${START_SOURCE_DATE_EPOCH}
          $<TARGET_FILE:manualgen> ${PROJECT_SOURCE_DIR}/forms/pictures ${START_MANUAL}
  DEPENDS manualgen ${_pictures} ${START_SOURCE_DATE_FILE}
  COMMENT "Drawing MANUAL.PDF"
  VERBATIM)
add_custom_target(manual ALL DEPENDS ${START_MANUAL})

find_program(XORRISO xorriso)
find_program(MINGW_I686_CXX i686-w64-mingw32-g++-posix)
if(NOT TARGET start OR NOT XORRISO OR NOT MINGW_I686_CXX)
  message(STATUS "No disc image in this build (needs xorriso, i686-w64-mingw32-g++-posix and the Linux launcher)")
  return()
endif()

# The cross build signs START.EXE where a key is named here; it takes this
# build's date.
include(${PROJECT_SOURCE_DIR}/cmake/signing.cmake)
include(ExternalProject)
set(START_WIN32_DIR ${CMAKE_BINARY_DIR}/win32)
# Under make, the cross build shares the jobs the outer build was given.
if(CMAKE_GENERATOR MATCHES "Makefiles")
  set(_win32_build $(MAKE) democd)
else()
  set(_win32_build ${CMAKE_COMMAND} --build ${START_WIN32_DIR} --target democd)
endif()
ExternalProject_Add(win32_cd
  SOURCE_DIR ${PROJECT_SOURCE_DIR}
  BINARY_DIR ${START_WIN32_DIR}
  CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${PROJECT_SOURCE_DIR}/cmake/mingw-i686.cmake -DSTART_TESTS=OFF
             -DCMAKE_BUILD_TYPE=${CMAKE_BUILD_TYPE} -DSTART_PARENT_SOURCE_DATE_EPOCH=${START_SOURCE_DATE_EPOCH}
             ${START_SIGN_FORWARD}
  LIST_SEPARATOR ^^
  BUILD_COMMAND ${_win32_build}
  BUILD_ALWAYS ON
  INSTALL_COMMAND ""
  BUILD_BYPRODUCTS ${START_WIN32_DIR}/cd/START.EXE ${START_WIN32_DIR}/cd/Acrobat/Setup.exe
                   ${START_WIN32_DIR}/cd/Data/Subset.exe
  STEP_TARGETS build)

set(START_IMAGE ${CMAKE_BINARY_DIR}/mirelund.iso)
add_custom_command(OUTPUT ${START_IMAGE}
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/make-image.sh ${START_IMAGE} ${START_WIN32_DIR}/cd $<TARGET_FILE:start>
          ${START_MANUAL} ${START_SOURCE_DATE_EPOCH}
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/make-image.sh ${START_SOURCE_DATE_FILE} ${CMAKE_CURRENT_LIST_DIR}/cd/autorun
          ${PROJECT_SOURCE_DIR}/tools/disc/cd/AUTORUN.INF ${START_WIN32_DIR}/cd/START.EXE
          ${START_WIN32_DIR}/cd/Acrobat/Setup.exe ${START_WIN32_DIR}/cd/Data/Subset.exe start ${START_MANUAL}
          win32_cd $<$<TARGET_EXISTS:mirelund-atk>:mirelund-atk>
  COMMENT "Writing the disc image mirelund.iso"
  VERBATIM)
add_custom_target(image ALL DEPENDS ${START_IMAGE})
# Drawn once, by its own target: under make a second rule would draw it too.
add_dependencies(image manual)
