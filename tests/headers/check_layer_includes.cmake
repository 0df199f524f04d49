# Fails when a file of runtime/ or effect/ includes anything from shell/:
# those layers reach their host only through runtime/morvox_host.h, so that
# every plug-in format's adapter can serve them.
# Usage: cmake -DSOURCE_DIR=<repository root> -P check_layer_includes.cmake
set(_offenders "")
foreach(_layer runtime effect)
  file(GLOB_RECURSE _files "${SOURCE_DIR}/${_layer}/*.h" "${SOURCE_DIR}/${_layer}/*.cpp")
  foreach(_file IN LISTS _files)
    file(STRINGS "${_file}" _lines REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<]shell/")
    if(_lines)
      file(RELATIVE_PATH _name "${SOURCE_DIR}" "${_file}")
      list(APPEND _offenders "${_name}: ${_lines}")
    endif()
  endforeach()
endforeach()
if(_offenders)
  list(JOIN _offenders "\n  " _text)
  message(FATAL_ERROR "runtime/ and effect/ must not include shell/:\n  ${_text}")
endif()
message(STATUS "runtime/ and effect/ include nothing from shell/")
