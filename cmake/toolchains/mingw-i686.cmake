# Cross build for i686 Windows with Debian's mingw-w64 (posix threads).
# cmake -S . -B build/win32 --toolchain cmake/toolchains/mingw-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(_vorn_triplet i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
