# Cross build for 64-bit Windows with Debian's MinGW-w64 (x86_64), the same
# way as the i686 build. It exists for machines whose kernel refuses 32-bit
# programs: there wine64 runs this build's tests and launcher, while the CD
# keeps the 32-bit START.EXE.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(START_MINGW_TRIPLET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
