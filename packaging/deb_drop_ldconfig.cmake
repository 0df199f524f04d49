# Run by cpack after it built the Debian package (CPACK_POST_BUILD_SCRIPTS).
# CPack gives any package with a shared object under /usr/lib a postinst and
# a postrm that only call ldconfig; ours installs plug-ins (in /usr/lib/vst,
# /usr/lib/lv2 and /usr/lib/clap) that no program links, so the package is
# rebuilt without those two scripts. Anything else in them stops the build.
find_program(_dpkg_deb dpkg-deb REQUIRED)
foreach(_deb IN LISTS CPACK_PACKAGE_FILES)
  if(NOT _deb MATCHES "\\.deb$")
    continue()
  endif()
  set(_tree "${_deb}.tree")
  file(REMOVE_RECURSE "${_tree}")
  execute_process(COMMAND ${_dpkg_deb} --raw-extract "${_deb}" "${_tree}" RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb could not unpack ${_deb}")
  endif()
  foreach(_script postinst postrm)
    if(EXISTS "${_tree}/DEBIAN/${_script}")
      file(STRINGS "${_tree}/DEBIAN/${_script}" _lines)
      list(FILTER _lines EXCLUDE REGEX "^[ \t]*(#!/bin/sh|set -e|ldconfig|if \\[ \"\\$1\" = \"(configure|remove)\" \\]; then|fi)?[ \t]*$")
      if(_lines)
        message(FATAL_ERROR "${_script} of ${_deb} does more than call ldconfig: ${_lines}")
      endif()
      file(REMOVE "${_tree}/DEBIAN/${_script}")
    endif()
  endforeach()
  execute_process(COMMAND ${_dpkg_deb} --root-owner-group -Zxz --build "${_tree}" "${_deb}"
                  OUTPUT_QUIET RESULT_VARIABLE _status)
  file(REMOVE_RECURSE "${_tree}")
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "dpkg-deb could not rebuild ${_deb}")
  endif()
endforeach()
