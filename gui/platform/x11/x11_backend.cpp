#include <X11/Xlib.h>
#include <X11/Xresource.h>

#include "gui/platform/cairo/cairo_backend.h"
#include "gui/platform/platform_backend.h"
#include "gui/platform/x11/x11_window.h"
#include "gui/ui_scale.h"

namespace VSTGUI::platform {

namespace {

// The desktop's Xft.dpi resource (what xrdb loaded into RESOURCE_MANAGER)
// as a scale; 0 when the display, the resources or the entry are missing
// or the entry is not a positive number.
double xftDpiScale() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  double scale = 0;
  if (const char* resources = XResourceManagerString(display)) {
    XrmInitialize();
    if (XrmDatabase database = XrmGetStringDatabase(resources)) {
      char* type = nullptr;
      XrmValue value{};
      if (XrmGetResource(database, "Xft.dpi", "Xft.Dpi", &type, &value) && value.addr && value.size > 0) {
        // The value is not always terminated within its size: copy it.
        char text[32] = {};
        const unsigned length = value.size < sizeof text ? value.size : sizeof text - 1;
        for (unsigned i = 0; i < length; ++i) text[i] = value.addr[i];
        scale = ScaleFromDpi(ParseScaleNumber(text));
      }
      XrmDestroyDatabase(database);
    }
  }
  XCloseDisplay(display);
  return scale;
}

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
  // One setting for the whole display: the parent does not matter.
  double desktopScale(void* /*parent*/) override {
    const double scale = xftDpiScale();
    return scale > 0 ? scale : 1;
  }
};

}  // namespace

Backend& platformBackend() {
  static X11CairoBackend backend;
  return backend;
}

}  // namespace VSTGUI::platform
