#pragma once
#include "gui/platform/backend.h"

namespace VSTGUI::platform {

// The backend of the platform this binary is built for (cairo + Xlib on
// Linux), defined by the library vorn_gui_platform.
Backend& platformBackend();

// Makes the platform backend the active one. [gui] Idempotent; call once
// before the first frame or picture is made (the editor does it).
inline void usePlatformBackend() {
  setActiveBackend(&platformBackend());
}

}  // namespace VSTGUI::platform
