# Cross-builds the Windows programs (64-bit) with Debian's mingw-w64. The C and C++ runtimes
# are linked statically, so each .exe runs by itself. On Linux the tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PARLOWEN_MINGW_TRIPLE x86_64-w64-mingw32)
# The POSIX thread model gives the C++ library its full thread support.
set(CMAKE_C_COMPILER ${PARLOWEN_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PARLOWEN_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PARLOWEN_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PARLOWEN_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# ctest runs the Windows programs through Wine (see scripts/wine-run.sh for what it needs).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh)
