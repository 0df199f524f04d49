# What both mingw-w64 cross builds share; the including file sets
# CMAKE_SYSTEM_PROCESSOR and _vorn_triplet first.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${_vorn_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_vorn_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_vorn_triplet}-windres)
set(CMAKE_OBJDUMP ${_vorn_triplet}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${_vorn_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config knows only the build machine's libraries; none of them links here.
set(ENV{PKG_CONFIG_LIBDIR} /usr/${_vorn_triplet}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
