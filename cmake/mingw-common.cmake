# What both MinGW-w64 cross builds share (START_MINGW_TRIPLET names the
# target). The posix thread flavour, because GoogleTest needs std::mutex, which
# the win32 flavour of GCC 12 lacks. Every program is linked statically, so it needs nothing but
# system DLLs; the tests run under wine, and are discovered when ctest runs,
# not at build time.
set(CMAKE_C_COMPILER ${START_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${START_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${START_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${START_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# stb is header-only and the same for every target; Debian keeps it outside the
# cross root, where the root-only search above would not look.
if(EXISTS /usr/include/stb/stb_image.h)
  set(STB_INCLUDE_DIR /usr/include/stb CACHE PATH "stb_image.h's folder")
endif()

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# /usr/bin/wine takes the 32-bit loader whenever it is installed, even where the
# kernel cannot run it; a 64-bit build names the 64-bit loader itself. Where
# wine32 could not be installed beside the rest, it lives in a root of its own
# (tools/wine32/wine32-root.sh). tools/run-tests.sh names the loader it chose.
if(START_MINGW_TRIPLET MATCHES "^x86_64")
  find_program(WINE_PROGRAM wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
else()
  if(DEFINED ENV{START_WINE32_ROOT})
    set(_wine32_root $ENV{START_WINE32_ROOT})
  else()
    set(_wine32_root /var/cache/mirelund/wine32-root)
  endif()
  if(NOT EXISTS /usr/lib/wine/wine AND EXISTS ${_wine32_root}/.complete)
    get_filename_component(_wine32 ${CMAKE_CURRENT_LIST_DIR}/../tools/wine32/bin/wine ABSOLUTE)
    set(WINE_PROGRAM ${_wine32} CACHE FILEPATH "wine's 32-bit loader")
  endif()
  find_program(WINE_PROGRAM wine)
endif()
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
# Running a test at build time would need a wine prefix and a display there.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
