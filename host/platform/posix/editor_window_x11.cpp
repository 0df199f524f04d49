// The host window on X11: a plain top-level window with a fixed size, the
// close button of the window manager, and read-back of its pixels (which
// include the editor's child windows inside it).
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdlib>

#include "host/editor_window.h"

namespace vornhost {

namespace {

// X errors during a read-back (a window not on screen) must not reach the
// default handler, which ends the process.
int gTrappedErrors = 0;
int TrapError(Display*, XErrorEvent*) {
  ++gTrappedErrors;
  return 0;
}

// Position and width of the bits of mask, to scale a channel to 8 bits.
void MaskShape(unsigned long mask, int& shift, int& bits) {
  shift = 0;
  bits = 0;
  if (mask == 0) return;
  while ((mask & 1UL) == 0) {
    mask >>= 1;
    ++shift;
  }
  while ((mask & 1UL) != 0) {
    mask >>= 1;
    ++bits;
  }
}

std::uint32_t Channel(unsigned long pixel, int shift, int bits) {
  if (bits == 0) return 0;
  const unsigned long maximum = (1UL << bits) - 1;
  return static_cast<std::uint32_t>(((pixel >> shift) & maximum) * 255 / maximum);
}

class X11Window final : public EditorWindow {
 public:
  X11Window(Display* display, Window window, int width, int height)
      : display_(display), window_(window), width_(width), height_(height) {
    wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wmDelete_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    XSetWMProtocols(display_, window_, &wmDelete_, 1);
    FixSize();
  }
  ~X11Window() override {
    if (!destroyed_) XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
  }
  void* parent() override { return reinterpret_cast<void*>(window_); }
  void Pump() override {
    while (XPending(display_) > 0) {
      XEvent event;
      XNextEvent(display_, &event);
      if (event.type == ClientMessage && event.xclient.window == window_ &&
          static_cast<Atom>(event.xclient.message_type) == wmProtocols_ &&
          static_cast<Atom>(event.xclient.data.l[0]) == wmDelete_)
        closeRequested_ = true;
      if (event.type == DestroyNotify && event.xdestroywindow.window == window_) {
        closeRequested_ = true;
        destroyed_ = true;
      }
    }
  }
  void SetTitle(const std::string& title) override {
    XStoreName(display_, window_, title.c_str());
    Atom utf8 = XInternAtom(display_, "UTF8_STRING", False);
    Atom netName = XInternAtom(display_, "_NET_WM_NAME", False);
    XChangeProperty(display_, window_, netName, utf8, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()), static_cast<int>(title.size()));
    XFlush(display_);
  }
  void Resize(int width, int height) override {
    if (width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    FixSize();
    XResizeWindow(display_, window_, static_cast<unsigned>(width), static_cast<unsigned>(height));
    XSync(display_, False);
  }
  bool CloseRequested() const override { return closeRequested_; }
  bool Capture(WindowImage& image, std::string& why) override;

 private:
  // Editors have one size: the window manager should not offer others.
  void FixSize() {
    XSizeHints* hints = XAllocSizeHints();
    hints->flags = PMinSize | PMaxSize;
    hints->min_width = hints->max_width = width_;
    hints->min_height = hints->max_height = height_;
    XSetWMNormalHints(display_, window_, hints);
    XFree(hints);
  }

  Display* display_;
  Window window_;
  int width_, height_;
  Atom wmProtocols_ = 0, wmDelete_ = 0;
  bool closeRequested_ = false;
  bool destroyed_ = false;
};

bool X11Window::Capture(WindowImage& image, std::string& why) {
  if (destroyed_) {
    why = "the window is gone";
    return false;
  }
  XSync(display_, False);
  gTrappedErrors = 0;
  auto old = XSetErrorHandler(TrapError);
  XImage* shot = XGetImage(display_, window_, 0, 0, static_cast<unsigned>(width_),
                           static_cast<unsigned>(height_), AllPlanes, ZPixmap);
  XSync(display_, False);
  XSetErrorHandler(old);
  if (shot == nullptr || gTrappedErrors != 0) {
    if (shot != nullptr) XDestroyImage(shot);
    why = "the window's pixels cannot be read (is it on screen?)";
    return false;
  }
  int rs, rb, gs, gb, bs, bb;
  MaskShape(shot->red_mask, rs, rb);
  MaskShape(shot->green_mask, gs, gb);
  MaskShape(shot->blue_mask, bs, bb);
  image.width = width_;
  image.height = height_;
  image.pixels.assign(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0);
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const unsigned long p = XGetPixel(shot, x, y);
      image.pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
                   static_cast<std::size_t>(x)] =
          0xFF000000u | Channel(p, rs, rb) << 16 | Channel(p, gs, gb) << 8 | Channel(p, bs, bb);
    }
  XDestroyImage(shot);
  return true;
}

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::Create(int width, int height, std::string& why) {
  const char* name = std::getenv("DISPLAY");
  if (name == nullptr || *name == '\0') {
    why = "no X display (DISPLAY is not set)";
    return nullptr;
  }
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) {
    why = std::string("cannot open the X display \"") + name + "\"";
    return nullptr;
  }
  int screen = DefaultScreen(display);
  Window window = XCreateSimpleWindow(display, RootWindow(display, screen), 0, 0,
                                      static_cast<unsigned>(width), static_cast<unsigned>(height), 0,
                                      BlackPixel(display, screen), BlackPixel(display, screen));
  XSelectInput(display, window, StructureNotifyMask);
  XStoreName(display, window, "vornhost");
  auto result = std::make_unique<X11Window>(display, window, width, height);
  XMapWindow(display, window);
  XSync(display, False);
  return result;
}

}  // namespace vornhost
