# Cross build for x86_64 Windows with Debian's mingw-w64 (posix threads).
# cmake -S . -B build/win64 --toolchain cmake/toolchains/mingw-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(_vorn_triplet x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
