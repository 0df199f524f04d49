# Run by cpack before it builds the Debian package (CPACK_PRE_BUILD_SCRIPTS):
# removes the .comment section (the compiler's version strings) from every
# ELF file staged for the package, as Debian's own packages do.
find_program(_objcopy NAMES objcopy REQUIRED)
file(GLOB_RECURSE _files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(_file IN LISTS _files)
  if(IS_SYMLINK "${_file}")
    continue()
  endif()
  file(READ "${_file}" _magic LIMIT 4 HEX)
  if(_magic STREQUAL "7f454c46")
    execute_process(COMMAND ${_objcopy} --remove-section=.comment "${_file}" RESULT_VARIABLE _status)
    if(NOT _status EQUAL 0)
      message(FATAL_ERROR "objcopy could not remove .comment from ${_file}")
    endif()
  endif()
endforeach()
