#include "gui/platform/platform_backend.h"

namespace VSTGUI::platform {

// A build without a platform layer: the null backend stays in charge.
Backend& platformBackend() {
  return nullBackend();
}

}  // namespace VSTGUI::platform
