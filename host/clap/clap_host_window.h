// vornhost's window as a CLAP gui's parent: the window system's api name and
// the parent record for a window of ours, the same for edit and validate.
#pragma once

#include <cstdint>

#include "formats/clap/abi/gui.h"
#include "host/editor_window.h"

namespace vornhost {

#ifdef _WIN32
inline const char* const kClapWindowApi = CLAP_WINDOW_API_WIN32;
#else
inline const char* const kClapWindowApi = CLAP_WINDOW_API_X11;
#endif

inline clap_window_t ClapParentOf(EditorWindow& window) {
  clap_window_t parent{};
  parent.api = kClapWindowApi;
#ifdef _WIN32
  parent.win32 = window.parent();
#else
  parent.x11 = static_cast<clap_xwnd>(reinterpret_cast<std::uintptr_t>(window.parent()));
#endif
  return parent;
}

}  // namespace vornhost
