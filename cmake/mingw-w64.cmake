# Cross-building the Windows programs on Linux with MinGW-w64 (the POSIX-threads flavour, which
# std::thread needs). Every program is linked statically: it needs no DLL beyond the system's.
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(VARNET_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${VARNET_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VARNET_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${VARNET_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VARNET_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
