# Cross build for 64-bit Windows with MinGW-w64 (Debian's g++-mingw-w64-x86-64-posix).
# The programs are linked statically, so that they run under Wine without extra DLLs.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VORLISK_MINGW_PREFIX x86_64-w64-mingw32)

# The POSIX thread model gives std::thread and std::mutex, which GoogleTest needs.
find_program(VORLISK_MINGW_CXX NAMES ${VORLISK_MINGW_PREFIX}-g++-posix ${VORLISK_MINGW_PREFIX}-g++
             REQUIRED)
find_program(VORLISK_MINGW_CC NAMES ${VORLISK_MINGW_PREFIX}-gcc-posix ${VORLISK_MINGW_PREFIX}-gcc
             REQUIRED)
set(CMAKE_C_COMPILER ${VORLISK_MINGW_CC})
set(CMAKE_CXX_COMPILER ${VORLISK_MINGW_CXX})
set(CMAKE_RC_COMPILER ${VORLISK_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VORLISK_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# The libraries gathered for Windows (tools/build-decoders-windows.sh; make names their
# folder): pkg-config looks there alone, never at the host's libraries.
if(VORLISK_WINDOWS_LIBS)
    list(APPEND CMAKE_FIND_ROOT_PATH ${VORLISK_WINDOWS_LIBS})
    set(ENV{PKG_CONFIG_LIBDIR} ${VORLISK_WINDOWS_LIBS}/lib/pkgconfig)
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VORLISK_WINDOWS_LIBS)
