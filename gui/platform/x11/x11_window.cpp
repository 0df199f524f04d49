#include "gui/platform/x11/x11_window.h"

#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "gui/platform/cairo/cairo_surface.h"

namespace VSTGUI::platform::x11 {

namespace {

// X errors on our connection (for example a host window that is already
// gone) must not reach the default handler, which ends the process. They
// are trapped around every burst of our requests.
int gTrappedErrors = 0;
int trapError(Display*, XErrorEvent*) {
  ++gTrappedErrors;
  return 0;
}

class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display) : display_(display), old_(XSetErrorHandler(trapError)) {
    gTrappedErrors = 0;
  }
  ~ErrorTrap() { XSetErrorHandler(old_); }
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits for the server to answer everything sent so far.
  bool failed() {
    XSync(display_, False);
    return gTrappedErrors != 0;
  }

 private:
  Display* display_;
  int (*old_)(Display*, XErrorEvent*);
};

constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | StructureNotifyMask;

CButtonState buttonBit(unsigned int button) {
  switch (button) {
    case Button1:
      return kLButton;
    case Button2:
      return kMButton;
    case Button3:
      return kRButton;
    case 8:
      return kButton4;
    case 9:
      return kButton5;
    default:
      return 0;
  }
}

bool isWheel(unsigned int button) {
  return button >= 4 && button <= 7;
}

}  // namespace

X11Window::X11Window(Display* display, ::Window parent, int32_t width, int32_t height,
                     WindowListener& listener)
    : display_(display), parent_(parent), width_(width), height_(height), listener_(listener) {}

std::unique_ptr<X11Window> X11Window::create(::Window parent, const char* className, const char* title,
                                             int32_t width, int32_t height, WindowListener& listener) {
  if (!parent || width <= 0 || height <= 0 || width > 32767 || height > 32767) return nullptr;
  Display* display = XOpenDisplay(nullptr);
  if (!display) return nullptr;
  std::unique_ptr<X11Window> w(new X11Window(display, parent, width, height, listener));

  ErrorTrap trap(display);
  XWindowAttributes parentAttributes{};
  if (!XGetWindowAttributes(display, parent, &parentAttributes) || trap.failed()) return nullptr;
  w->root_ = parentAttributes.root;

  XSetWindowAttributes attributes{};
  attributes.event_mask = kEventMask;
  attributes.background_pixmap = None;  // every pixel is painted by the frame
  attributes.border_pixel = 0;
  w->window_ = XCreateWindow(display, parent, 0, 0, static_cast<unsigned>(width),
                             static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                             CWEventMask | CWBackPixmap | CWBorderPixel, &attributes);
  if (trap.failed() || !w->window_) {
    w->window_ = 0;
    return nullptr;
  }
  w->alive_ = true;

  // The window system's name for the window is the class name "Plugin…".
  XStoreName(display, w->window_, className);
  std::string resName = title ? title : "";
  std::string resClass = className ? className : "";
  XClassHint hint{resName.data(), resClass.data()};
  XSetClassHint(display, w->window_, &hint);

  XWindowAttributes own{};
  XGetWindowAttributes(display, w->window_, &own);
  w->visual_ = own.visual;
  XMapWindow(display, w->window_);
  if (trap.failed()) return nullptr;
  return w;
}

X11Window::~X11Window() {
  if (!display_) return;
  {
    ErrorTrap trap(display_);
    if (window_ && alive_) XDestroyWindow(display_, window_);
    trap.failed();
  }
  if (cairoDevice_) {
    cairo_device_finish(cairoDevice_);
    cairo_device_destroy(cairoDevice_);
  }
  XCloseDisplay(display_);
}

void X11Window::invalidate(const PixelRect& rect) {
  if (!alive_ || rect.width <= 0 || rect.height <= 0) return;
  const int32_t left = std::max(rect.x, 0);
  const int32_t top = std::max(rect.y, 0);
  const int32_t right = std::min(rect.x + rect.width, width_);
  const int32_t bottom = std::min(rect.y + rect.height, height_);
  if (right <= left || bottom <= top) return;
  if (!pending_) {
    pending_ = true;
    pendingLeft_ = left;
    pendingTop_ = top;
    pendingRight_ = right;
    pendingBottom_ = bottom;
  } else {
    pendingLeft_ = std::min(pendingLeft_, left);
    pendingTop_ = std::min(pendingTop_, top);
    pendingRight_ = std::max(pendingRight_, right);
    pendingBottom_ = std::max(pendingBottom_, bottom);
  }
}

void X11Window::pumpEvents() {
  if (!alive_) return;
  ErrorTrap trap(display_);
  while (alive_ && XPending(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
    // Moves are coalesced as the Windows message queue does: only the
    // newest of a run of moves is delivered.
    if (event.type == MotionNotify) {
      XEvent next;
      while (XEventsQueued(display_, QueuedAlready) > 0) {
        XPeekEvent(display_, &next);
        if (next.type != MotionNotify) break;
        XNextEvent(display_, &event);
      }
    }
    handle(event);
  }
  if (alive_ && pending_) paintPending();
  trap.failed();
}

CButtonState X11Window::buttonSet(unsigned int state) const {
  CButtonState set = extraButtons_;
  if (state & Button1Mask) set |= kLButton;
  if (state & Button2Mask) set |= kMButton;
  if (state & Button3Mask) set |= kRButton;
  if (state & ShiftMask) set |= kShift;
  if (state & ControlMask) set |= kControl;
  if (state & Mod1Mask) set |= kAlt;
  return set;
}

void X11Window::handle(XEvent& event) {
  if (event.xany.window != window_) return;
  switch (event.type) {
    case Expose:
      invalidate({event.xexpose.x, event.xexpose.y, event.xexpose.width, event.xexpose.height});
      break;
    case ButtonPress:
      handleButtonPress(event.xbutton);
      break;
    case ButtonRelease:
      handleButtonRelease(event.xbutton);
      break;
    case MotionNotify:
      listener_.platformMouseMoved(CPoint(event.xmotion.x, event.xmotion.y), buttonSet(event.xmotion.state));
      break;
    case LeaveNotify:
      if (event.xcrossing.detail != NotifyInferior)
        listener_.platformMouseExited(CPoint(event.xcrossing.x, event.xcrossing.y),
                                      buttonSet(event.xcrossing.state));
      break;
    case DestroyNotify:
      if (event.xdestroywindow.window == window_) {
        alive_ = false;
        pending_ = false;
        listener_.platformWindowDestroyed();
      }
      break;
    default:
      break;
  }
}

void X11Window::handleButtonPress(const XButtonEvent& event) {
  if (isWheel(event.button)) {
    // One notch is one step; the modifiers come from the keys held now.
    if (event.button == Button4 || event.button == 5) {
      const float distance = event.button == Button4 ? 1.0f : -1.0f;
      listener_.platformWheel(CPoint(event.x, event.y), distance,
                              buttonSet(event.state) & (kShift | kControl | kAlt));
    }
    forwardToParent(event);
    return;
  }
  const CButtonState bit = buttonBit(event.button);
  if (!bit) return;
  CButtonState buttons = buttonSet(event.state) | bit;
  const bool doubleClick = event.button == lastButton_ &&
                           event.time - lastPressTime_ <= kDoubleClickMilliseconds &&
                           std::abs(event.x - lastPressX_) <= kDoubleClickDistance &&
                           std::abs(event.y - lastPressY_) <= kDoubleClickDistance;
  if (doubleClick) {
    buttons |= kDoubleClick;
    lastButton_ = 0;  // a third press starts a new pair
  } else {
    lastButton_ = event.button;
    lastPressTime_ = event.time;
    lastPressX_ = event.x;
    lastPressY_ = event.y;
  }
  if (bit == kButton4 || bit == kButton5) extraButtons_ |= bit;
  // The press grabs the pointer until every button is released, so a drag
  // outside the window keeps reaching the frame (the capture).
  listener_.platformMouseDown(CPoint(event.x, event.y), buttons);
}

void X11Window::handleButtonRelease(const XButtonEvent& event) {
  if (isWheel(event.button)) {
    forwardToParent(event);
    return;
  }
  const CButtonState bit = buttonBit(event.button);
  if (!bit) return;
  extraButtons_ &= ~bit;
  // The set of what is still held after the release.
  const CButtonState buttons = buttonSet(event.state) & ~bit;
  listener_.platformMouseUp(CPoint(event.x, event.y), buttons);
}

void X11Window::forwardToParent(const XButtonEvent& event) {
  // The wheel also reaches the host's window, as default handling would.
  XEvent copy{};
  copy.xbutton = event;
  copy.xbutton.window = parent_;
  copy.xbutton.send_event = True;
  ::Window child = 0;
  XTranslateCoordinates(display_, window_, parent_, event.x, event.y, &copy.xbutton.x, &copy.xbutton.y,
                        &child);
  const long mask = event.type == ButtonPress ? ButtonPressMask : ButtonReleaseMask;
  XSendEvent(display_, parent_, False, mask, &copy);
}

cairo_surface_t* X11Window::windowTarget() {
  cairo_surface_t* target = cairo_xlib_surface_create(display_, window_, visual_, width_, height_);
  if (!cairoDevice_ && cairo_surface_get_device(target))
    cairoDevice_ = cairo_device_reference(cairo_surface_get_device(target));
  return target;
}

void X11Window::paintPending() {
  pending_ = false;
  const PixelRect update{pendingLeft_, pendingTop_, pendingRight_ - pendingLeft_,
                         pendingBottom_ - pendingTop_};
  cairo_surface_t* target = windowTarget();
  {
    cairo::CairoSurface surface(target);
    surface.setClip(update);
    listener_.platformPaint(surface,
                            CRect(update.x, update.y, update.x + update.width, update.y + update.height));
    surface.flush();
  }
  cairo_surface_destroy(target);
}

std::unique_ptr<Surface> X11Window::createSurface() {
  if (!alive_) return nullptr;
  cairo_surface_t* target = windowTarget();
  auto surface = std::make_unique<cairo::CairoSurface>(target);
  cairo_surface_destroy(target);
  return surface;
}

CPoint X11Window::screenPosition() const {
  if (!alive_) return {};
  int x = 0;
  int y = 0;
  ::Window child = 0;
  XTranslateCoordinates(display_, window_, root_, 0, 0, &x, &y, &child);
  return CPoint(x, y);
}

bool X11Window::queryPointer(CPoint& where, CButtonState& buttons) const {
  if (!alive_) return false;
  ::Window root = 0;
  ::Window child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  if (!XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
  where = CPoint(x, y);
  buttons = buttonSet(mask);
  return true;
}

void* X11Window::nativeHandle() const {
  return reinterpret_cast<void*>(window_);
}

}  // namespace VSTGUI::platform::x11
