# The Debian package: `cpack -G DEB` in a Release build tree makes
# vorn-delay-2_<version>_<arch>.deb of whatever the install rules install
# with the prefix /usr (see the top-level CMakeLists.txt): VornDelay2.so in
# /usr/lib/vst, the bundle in /usr/lib/lv2, VornDelay2.clap in /usr/lib/clap,
# vornhost and its man page, and
# the copyright file (the licences of what the binaries include, too) and
# the changelog below. Its dependencies are computed
# from the binaries (dpkg-shlibdeps). scripts/deb.sh makes it and checks it
# with lintian.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vorn-delay-2)
set(CPACK_PACKAGE_VENDOR Fenmoor)
set(CPACK_PACKAGE_CONTACT "Fenmoor <support@fenmoor.invalid>")
# With the CLAP plug-in where this tree builds it.
set(_formats "VST 2.4 and LV2")
set(_clap "")
if(TARGET VornDelay2_clap)
  set(_formats "VST 2.4, LV2 and CLAP")
  set(_clap ", the CLAP plug-in into
/usr/lib/clap")
endif()
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "stereo delay audio plug-in (${_formats}) with a command-line host")
# The long description, after the summary; CPack indents it and writes the
# empty line as " .".
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Vorn Delay 2 is a stereo delay with tempo sync, ping-pong echoes,
filters and modulation in the feedback path, and an editor of its own.

This package installs the VST 2.4 plug-in into /usr/lib/vst, the LV2
bundle (urn:fenmoor:vorn-delay-2) into /usr/lib/lv2${_clap}, and vornhost, a
command-line host that renders audio files through VST 2.4 and LV2
plug-ins and inspects, validates and benchmarks them.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR}/packages)
# The compiler's .comment sections out of the staged binaries; the
# ldconfig-only maintainer scripts CPack adds out of the built package.
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_strip_comments.cmake)
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/deb_drop_ldconfig.cmake)
include(CPack)

# The copyright file and the changelog, in a system install only.
set(_doc ${CMAKE_CURRENT_LIST_DIR}/debian)
install(CODE "
  if(VORN_SYSTEM_INSTALL)
    set(_doc \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME}\")
    file(INSTALL DESTINATION \"\${CMAKE_INSTALL_PREFIX}/share/doc/${CPACK_PACKAGE_NAME}\" TYPE FILE
         FILES \"${_doc}/copyright\")
    execute_process(COMMAND gzip -9n -c \"${_doc}/changelog\" OUTPUT_FILE \"\${_doc}/changelog.gz\"
                    RESULT_VARIABLE _status)
    if(NOT _status EQUAL 0)
      message(FATAL_ERROR \"gzip could not compress the changelog\")
    endif()
  endif()")
