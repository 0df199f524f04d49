# Settings for the Windows builds (cross-compiled with mingw-w64).

# Every program and the DLL carry their compiler run-time libraries
# (libgcc, libstdc++, winpthread), so they need nothing but system DLLs:
# the plug-in in a host's folder, the tests and vornhost under wine.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")

# 64-bit programs built on Linux run under wine64, each test in the build's
# own prefix. The 32-bit ones cannot run on these machines and get none.
if(CMAKE_CROSSCOMPILING AND CMAKE_SIZEOF_VOID_P EQUAL 8 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
endif()
