# Cross build of the Windows executables with mingw-w64 (x86-64, POSIX thread model, which
# gives std::thread). Configure with
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# (scripts/build-windows does this and builds quavel1.exe and xmrender.exe).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(QUAVEL_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUAVEL_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUAVEL_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${QUAVEL_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${QUAVEL_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The C and C++ runtimes (libgcc, libstdc++, winpthreads) are linked into the executables, so
# they need nothing beside them but DLLs that Windows itself has.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# stb is header-only: the build machine's copy (Debian's libstb-dev) serves the target too.
set(QUAVEL_STB_INCLUDE_DIR /usr/include/stb CACHE PATH "Folder of stb_image.h")
