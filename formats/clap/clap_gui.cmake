# The CLAP plug-in's editor and what drives it: the gui, timer-support and
# posix-fd-support extensions over the format-neutral editor.
add_library(vorn_clap_gui STATIC
  ${CMAKE_CURRENT_LIST_DIR}/clap_editor.cpp ${CMAKE_CURRENT_LIST_DIR}/clap_gui.cpp
  ${CMAKE_CURRENT_LIST_DIR}/clap_gui_loop.cpp)
target_link_libraries(vorn_clap_gui PUBLIC vorn_editor vorn_effect)
