# Cross build for 32-bit Windows with Debian's MinGW-w64 (i686). The posix
# thread flavour, because GoogleTest needs std::mutex, which the win32 flavour
# of GCC 12 lacks. Every program is linked statically, so it needs nothing but
# system DLLs; the tests run under wine, and are discovered when ctest runs,
# not at build time.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER i686-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/i686-w64-mingw32)
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

find_program(WINE_PROGRAM wine)
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_PROGRAM})
endif()
# Running a test at build time would need a wine prefix and a display there.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
