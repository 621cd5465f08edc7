# 64-bit Windows from Linux with Debian's MinGW-w64 (the POSIX-threads variant,
# which has std::thread and std::mutex, as JUCE needs).
set (CMAKE_SYSTEM_NAME Windows)
set (CMAKE_SYSTEM_PROCESSOR x86_64)

set (_mingw x86_64-w64-mingw32)
set (CMAKE_C_COMPILER ${_mingw}-gcc-posix)
set (CMAKE_CXX_COMPILER ${_mingw}-g++-posix)
set (CMAKE_RC_COMPILER ${_mingw}-windres)

# Libraries and headers come from the MinGW sysroot and the cached third-party
# prefix; programs (juceaide) from the build machine.
set (CMAKE_FIND_ROOT_PATH /usr/${_mingw} ${ORTHOLUME_MINGW_PREFIX})
list (APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORTHOLUME_MINGW_PREFIX)
set (CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set (CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set (CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set (CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under wine.
find_program (ORTHOLUME_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if (ORTHOLUME_WINE)
    set (CMAKE_CROSSCOMPILING_EMULATOR ${ORTHOLUME_WINE})
endif()
