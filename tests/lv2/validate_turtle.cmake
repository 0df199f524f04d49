# Validates the bundle's Turtle against the LV2 schema files, with
# lv2_validate (lv2-dev) and sord_validate (sordi). The schemas are the
# LV2 schema bundles that lv2-dev itself installs, never every bundle
# in the LV2 folders: other plug-ins installed on the machine have Turtle
# of their own that this test must not judge.
file(GLOB _ours "${BUNDLE}/*.ttl")
execute_process(COMMAND dpkg-query -L lv2-dev OUTPUT_VARIABLE _listed RESULT_VARIABLE _status ERROR_QUIET)
if(NOT _status EQUAL 0)
  message(FATAL_ERROR "the LV2 schema files come from the package lv2-dev, which is not installed")
endif()
string(REPLACE "\n" ";" _listed "${_listed}")
set(_schemas "")
foreach(_path IN LISTS _listed)
  if(_path MATCHES "\\.ttl$" AND EXISTS "${_path}" AND NOT IS_DIRECTORY "${_path}")
    list(APPEND _schemas "${_path}")
  endif()
endforeach()
if(NOT _schemas)
  message(FATAL_ERROR "lv2-dev lists no schema files")
endif()
if(NOT _ours)
  message(FATAL_ERROR "no Turtle in ${BUNDLE}")
endif()
execute_process(COMMAND ${LV2_VALIDATE} ${_ours} RESULT_VARIABLE _status OUTPUT_VARIABLE _out ERROR_VARIABLE _out)
if(NOT _status EQUAL 0 OR _out MATCHES "error:|warning:")
  message(FATAL_ERROR "lv2_validate:\n${_out}")
endif()
execute_process(COMMAND ${SORD_VALIDATE} ${_schemas} ${_ours} RESULT_VARIABLE _status OUTPUT_VARIABLE _out
                ERROR_VARIABLE _out)
if(NOT _status EQUAL 0 OR _out MATCHES "error:|warning:")
  message(FATAL_ERROR "sord_validate:\n${_out}")
endif()
message(STATUS "Turtle valid: ${_ours}")
