# Cross compilation for 32-bit Windows with mingw-w64 (posix threads).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)
set(CMAKE_C_COMPILER ${TOOLCHAIN_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The Wine that runs the tests: the first on PATH, as in tools/wine-env.  A
# cached entry pointing at a Wine since removed does not win.
if(WINE_EXECUTABLE AND NOT EXISTS "${WINE_EXECUTABLE}")
  unset(WINE_EXECUTABLE CACHE)
endif()
find_program(WINE_EXECUTABLE wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_EXECUTABLE})
