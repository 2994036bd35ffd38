# Cross-compiles the Windows program with mingw-w64 (x86_64, posix thread
# model). The C and C++ runtimes and winpthread are linked statically, so the
# executable needs no DLL beyond those every Windows installation ships.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORBELZOZ_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${VORBELZOZ_MINGW_PREFIX}-gcc-posix ${VORBELZOZ_MINGW_PREFIX}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VORBELZOZ_MINGW_PREFIX}-g++-posix ${VORBELZOZ_MINGW_PREFIX}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VORBELZOZ_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORBELZOZ_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
