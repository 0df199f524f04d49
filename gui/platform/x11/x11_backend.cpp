#include <X11/Xlib.h>

#include "gui/platform/cairo/cairo_backend.h"
#include "gui/platform/platform_backend.h"
#include "gui/platform/x11/x11_window.h"

namespace VSTGUI::platform {

namespace {

// cairo for drawing, Xlib for the window.
class X11CairoBackend final : public cairo::CairoBackend {
 public:
  std::unique_ptr<Window> createChildWindow(void* parent, const char* className, const char* title,
                                            int32_t width, int32_t height,
                                            WindowListener& listener) override {
    // The host passes the X11 Window id as the pointer's value.
    const auto id = static_cast<::Window>(reinterpret_cast<uintptr_t>(parent));
    return x11::X11Window::create(id, className, title, width, height, listener);
  }
  // No desktopScale here: Xft.dpi is read on the window's own connection
  // (X11Window::desktopScale), never on one opened just to ask, which would
  // block on a display that does not answer, and whose close resets a
  // server that has no other client.
};

}  // namespace

Backend& platformBackend() {
  static X11CairoBackend backend;
  return backend;
}

}  // namespace VSTGUI::platform
