# Writes the part of vornhost's man page that help2man cannot find alone:
# every subcommand's own --help, as a section of its own.
#   cmake -DVORNHOST=<vornhost> -DOUTPUT=<file> -P man_subcommands.cmake
execute_process(COMMAND ${VORNHOST} --help OUTPUT_VARIABLE _help RESULT_VARIABLE _status)
if(NOT _status EQUAL 0)
  message(FATAL_ERROR "vornhost --help failed")
endif()
string(REGEX REPLACE ".*\nSubcommands:\n" "" _list "${_help}")
string(REPLACE "\n" ";" _list "${_list}")
set(_text "[SUBCOMMANDS]\n")
foreach(_line IN LISTS _list)
  if(NOT _line MATCHES "^  ([a-z]+) ")
    continue()
  endif()
  set(_name ${CMAKE_MATCH_1})
  execute_process(COMMAND ${VORNHOST} ${_name} --help OUTPUT_VARIABLE _sub RESULT_VARIABLE _status)
  if(NOT _status EQUAL 0)
    message(FATAL_ERROR "vornhost ${_name} --help failed")
  endif()
  # Roff: backslashes doubled, a leading dot or quote kept literal.
  string(REPLACE "\\" "\\\\" _sub "${_sub}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" _sub "${_sub}")
  # Each option as a tagged paragraph, so man wraps its text to the
  # terminal: "  -p,--param TEXT   text" and continuation lines of text.
  string(REPLACE ";" "\\;" _sub "${_sub}")
  string(REPLACE "\n" ";" _sub_lines "${_sub}")
  string(APPEND _text ".SS ${_name}\n")
  foreach(_l IN LISTS _sub_lines)
    if(_l MATCHES "^  ([^ ].*[^ ])  +([^ ].*)$")
      string(APPEND _text ".TP\n.B ${CMAKE_MATCH_1}\n${CMAKE_MATCH_2}\n")
    elseif(_l MATCHES "^  ([^ ].*)$")
      string(APPEND _text ".TP\n.B ${CMAKE_MATCH_1}\n")
    elseif(_l MATCHES "^ +([^ ].*)$")
      string(APPEND _text "${CMAKE_MATCH_1}\n")
    elseif(_l MATCHES "^([A-Z][a-z]+):$")
      string(APPEND _text ".PP\n${CMAKE_MATCH_1}:\n")
    elseif(NOT _l STREQUAL "")
      string(APPEND _text ".PP\n${_l}\n")
    endif()
  endforeach()
endforeach()

# What help2man cannot know: exit statuses, environment, files, examples.
string(APPEND _text [=[
[EXIT STATUS]
.TP
.B 0
The subcommand did what it was asked (for validate: every check passed).
.TP
.B 1
An error: a file could not be read or written, a plug-in could not be
loaded or failed, or a check of validate failed.
.TP
.B 2
A usage error: an unknown subcommand or option, a missing or malformed
argument.
[ENVIRONMENT]
.TP
.B DISPLAY
The X display edit opens its window on, and validate tests editors on
(without it the editor checks are skipped).
.TP
.B LV2_PATH
The folders LV2 plug-ins are looked for in by URI (default:
~/.lv2, /usr/local/lib/lv2 and /usr/lib/lv2).
.TP
.B VORN_UI_SCALE
The editor's scale (1 or 2, for high-density screens), overriding the
one the display reports.
[FILES]
.TP
.I /usr/lib/vst/VornDelay2.so
The plug-in used when no plug-in is named.
.TP
.I /usr/lib/vst/VornDelay2-presets/
Its factory presets, one program file (.fxp) each, found by name with
render --preset.
.TP
.I /usr/lib/lv2/VornDelay2.lv2/
The LV2 bundle, urn:fenmoor:vorn-delay-2.
[EXAMPLES]
.TP
.B vornhost render in.wav out.wav
Render in.wav through Vorn Delay 2 with its default settings.
.TP
.B vornhost render in.wav out.wav \-\-preset Slapback
The same with a factory preset.
.TP
.B vornhost render in.wav out.wav \-p 'Feedback [%]=40'
With one parameter set in the plug-in's own terms.
.TP
.B vornhost info urn:fenmoor:vorn\-delay\-2
Describe the LV2 plug-in: ports, parameters and presets.
.TP
.B vornhost validate /usr/lib/vst/VornDelay2.so \-\-strictness 10
Check a plug-in's conformance and robustness at the highest strictness.
]=])
file(WRITE ${OUTPUT} "${_text}")
