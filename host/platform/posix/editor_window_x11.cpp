// The host window on X11.
#include <X11/Xlib.h>

#include <cstdlib>

#include "host/editor_window.h"

namespace vornhost {

namespace {

class X11Window final : public EditorWindow {
 public:
  X11Window(Display* display, Window window) : display_(display), window_(window) {}
  ~X11Window() override {
    XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }
  void* parent() override { return reinterpret_cast<void*>(window_); }
  void Pump() override {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
    }
  }

 private:
  Display* display_;
  Window window_;
};

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::Create(int width, int height, std::string& why) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    why = "no X display (DISPLAY is not set)";
    return nullptr;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    why = "cannot open the X display";
    return nullptr;
  }
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                      static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                      BlackPixel(display, screen), BlackPixel(display, screen));
  XStoreName(display, window, "vornhost");
  XMapWindow(display, window);
  XSync(display, False);
  return std::make_unique<X11Window>(display, window);
}

}  // namespace vornhost
