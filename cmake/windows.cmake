# Settings for the Windows builds (cross-compiled with mingw-w64).

# Resource scripts: the interface pictures become module resources.
enable_language(RC)

# Every program and the DLL carry their compiler run-time libraries
# (libgcc, libstdc++, winpthread), so they need nothing but system DLLs:
# the plug-in in a host's folder, the tests and vornhost under wine.
string(APPEND CMAKE_EXE_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")
string(APPEND CMAKE_SHARED_LINKER_FLAGS " -static -static-libgcc -static-libstdc++")

# The C99 printf family of mingw instead of msvcrt's: "%zu" and "%lld" work,
# and numbers print (and round) exactly as on Linux.
add_compile_definitions(__USE_MINGW_ANSI_STDIO=1)

# Programs built on Linux run under wine, each test in the build's own
# prefix; wine-run.sh picks the 32- or 64-bit loader from the program, and
# answers VORN_WINE_SKIP_STATUS where this machine cannot run a 32-bit one.
set(VORN_WINE_SKIP_STATUS 77)
if(CMAKE_CROSSCOMPILING AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR
      ${PROJECT_SOURCE_DIR}/scripts/wine-run.sh --prefix ${CMAKE_BINARY_DIR}/wine-prefix)
endif()

# CLI11 is header-only and the same for every target, but its package
# points at the build machine's include folder, which also holds that
# system's C headers. Offer just its own folder to the cross build.
if(CMAKE_CROSSCOMPILING AND NOT TARGET CLI11::CLI11)
  find_path(CLI11_HEADER_DIR CLI/CLI.hpp NO_CMAKE_FIND_ROOT_PATH)
  mark_as_advanced(CLI11_HEADER_DIR)
  if(CLI11_HEADER_DIR)
    set(_vorn_cli11 ${CMAKE_BINARY_DIR}/cli11-include)
    file(MAKE_DIRECTORY ${_vorn_cli11})
    file(CREATE_LINK ${CLI11_HEADER_DIR}/CLI ${_vorn_cli11}/CLI SYMBOLIC)
    add_library(CLI11::CLI11 INTERFACE IMPORTED)
    set_target_properties(CLI11::CLI11 PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_vorn_cli11})
  endif()
endif()
