# Validates the bundle's Turtle against the LV2 schema files installed on
# the system, with lv2_validate (lv2-dev) and sord_validate (sordi).
file(GLOB _ours "${BUNDLE}/*.ttl")
file(GLOB _schemas /usr/lib/lv2/*.lv2/*.ttl /usr/lib/x86_64-linux-gnu/lv2/*.lv2/*.ttl)
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
