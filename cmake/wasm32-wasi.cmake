# Build of the web version: C++ to WebAssembly (wasm32-wasi) with Debian's clang, wasi-libc and
# the wasm32 libc++. Configure with
#   cmake -S . -B build-web -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/wasm32-wasi.cmake
# (scripts/build-web does this). The modules it makes import only the few WASI calls the C
# library needs, which web/host/wasi.js answers in the browser.
set(CMAKE_SYSTEM_NAME Generic)
set(CMAKE_SYSTEM_PROCESSOR wasm32)
set(QUAVEL_WEB ON)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET wasm32-wasi)
set(CMAKE_CXX_COMPILER_TARGET wasm32-wasi)
set(CMAKE_AR llvm-ar-14 CACHE FILEPATH "")
set(CMAKE_RANLIB llvm-ranlib-14 CACHE FILEPATH "")

# clang 14 and this libc++ have no exception support for WebAssembly: what builds for the web
# must not throw.
set(CMAKE_CXX_FLAGS_INIT "-fno-exceptions")
# Reactor modules: no main() run at load, the page calls exported functions (after _initialize,
# which runs the constructors of globals).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-mexec-model=reactor")
# A compile test must not be linked: there is no main() in a reactor.
set(CMAKE_TRY_COMPILE_TARGET_TYPE STATIC_LIBRARY)

set(CMAKE_FIND_ROOT_PATH /usr/lib/wasm32-wasi /usr/include/wasm32-wasi)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
