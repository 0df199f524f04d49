#include "gui/platform/x11/x11_window.h"

#include <X11/Xutil.h>
#include <cairo-xlib.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "gui/platform/cairo/cairo_surface.h"
#include "gui/platform/x11/x11_error_trap.h"
#include "gui/ui_scale.h"

namespace VSTGUI::platform::x11 {

namespace {

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
  Display* events = XOpenDisplay(nullptr);
  if (!events) return nullptr;
  Display* drawing = XOpenDisplay(nullptr);
  if (!drawing) {
    XCloseDisplay(events);
    return nullptr;
  }
  std::unique_ptr<X11Window> w(new X11Window(drawing, parent, width, height, listener));
  // Xlib keeps the RESOURCE_MANAGER text it read when connecting.
  w->desktopScale_ = ScaleFromDpi(XftDpiFromResources(XResourceManagerString(drawing)));

  bool made = false;
  {
    ErrorTrap trap(events);
    XWindowAttributes parentAttributes{};
    if (XGetWindowAttributes(events, parent, &parentAttributes) && !trap.failed()) {
      w->root_ = parentAttributes.root;
      XSetWindowAttributes attributes{};
      attributes.event_mask = kEventMask;
      // What an exposure shows until the reader has copied the picture back.
      attributes.background_pixel = BlackPixelOfScreen(parentAttributes.screen);
      attributes.border_pixel = 0;
      w->window_ = XCreateWindow(events, parent, 0, 0, static_cast<unsigned>(width),
                                 static_cast<unsigned>(height), 0, CopyFromParent, InputOutput,
                                 CopyFromParent, CWEventMask | CWBackPixel | CWBorderPixel, &attributes);
      made = w->window_ && !trap.failed();
    }
    if (made) {
      // The window system's name for the window is the class name "Plugin…".
      XStoreName(events, w->window_, className);
      std::string resName = title ? title : "";
      std::string resClass = className ? className : "";
      XClassHint hint{resName.data(), resClass.data()};
      XSetClassHint(events, w->window_, &hint);
      XMapWindow(events, w->window_);
      made = !trap.failed();
    }
  }
  // Closing the connection also destroys a window made on it.
  if (!made || !w->build(events)) {
    if (events) XCloseDisplay(events);
    w->window_ = 0;
    return nullptr;
  }
  w->alive_ = true;
  // The first idle paints everything, whether or not the map's exposure has
  // been read by then.
  w->invalidate({0, 0, width, height});
  return w;
}

bool X11Window::build(Display*& events) {
  XWindowAttributes own{};
  {
    ErrorTrap trap(events);
    if (!XGetWindowAttributes(events, window_, &own) || trap.failed()) return false;
  }
  {
    ErrorTrap trap(display_);
    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(own.visual);
    int count = 0;
    XVisualInfo* found = XGetVisualInfo(display_, VisualIDMask, &wanted, &count);
    if (found && count > 0) visual_ = found[0].visual;
    if (found) XFree(found);
    if (!visual_) return false;
    picture_ = XCreatePixmap(display_, root_, static_cast<unsigned>(width_), static_cast<unsigned>(height_),
                             static_cast<unsigned>(own.depth));
    XGCValues values{};
    values.graphics_exposures = False;  // the copies need no answer events
    values.foreground = BlackPixelOfScreen(own.screen);
    gc_ = XCreateGC(display_, picture_, GCGraphicsExposures | GCForeground, &values);
    XFillRectangle(display_, picture_, gc_, 0, 0, static_cast<unsigned>(width_),
                   static_cast<unsigned>(height_));
    // The reader's connection uses the picture only once the server has it.
    if (trap.failed()) return false;
  }
  reader_ = EventReader::start(events, window_, picture_);
  events = nullptr;  // the reader's now, or closed
  return reader_ != nullptr;
}

X11Window::~X11Window() {
  // The reader's thread ends before anything it copies from goes away.
  reader_.reset();
  {
    ErrorTrap trap(display_);
    if (gc_) XFreeGC(display_, gc_);
    if (picture_) XFreePixmap(display_, picture_);
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
  events_.clear();
  reader_->take(events_);
  for (XEvent& event : events_) {
    if (!alive_) break;
    handle(event);
  }
  events_.clear();
  if (alive_ && pending_) paintPending();
  // The drawing connection selects no events; anything that still came is
  // dropped so it cannot pile up.
  while (XQLength(display_) > 0) {
    XEvent event;
    XNextEvent(display_, &event);
  }
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
  ErrorTrap trap(display_);
  XTranslateCoordinates(display_, window_, parent_, event.x, event.y, &copy.xbutton.x, &copy.xbutton.y,
                        &child);
  const long mask = event.type == ButtonPress ? ButtonPressMask : ButtonReleaseMask;
  XSendEvent(display_, parent_, False, mask, &copy);
}

cairo_surface_t* X11Window::target(Drawable drawable) {
  cairo_surface_t* surface = cairo_xlib_surface_create(display_, drawable, visual_, width_, height_);
  if (!cairoDevice_ && cairo_surface_get_device(surface))
    cairoDevice_ = cairo_device_reference(cairo_surface_get_device(surface));
  return surface;
}

void X11Window::paintPending() {
  pending_ = false;
  const PixelRect update{pendingLeft_, pendingTop_, pendingRight_ - pendingLeft_,
                         pendingBottom_ - pendingTop_};
  std::unique_lock<std::mutex> picture = reader_->lockPicture();
  cairo_surface_t* drawing = target(picture_);
  {
    cairo::CairoSurface surface(drawing);
    surface.setClip(update);
    listener_.platformPaint(surface,
                            CRect(update.x, update.y, update.x + update.width, update.y + update.height));
    surface.flush();
  }
  cairo_surface_destroy(drawing);
  {
    // The trap waits for the server, so the picture is whole before the
    // reader may copy from it again.
    ErrorTrap trap(display_);
    XCopyArea(display_, picture_, window_, gc_, update.x, update.y, static_cast<unsigned>(update.width),
              static_cast<unsigned>(update.height), update.x, update.y);
  }
  reader_->pictureFinished();
}

std::unique_ptr<Surface> X11Window::createSurface() {
  if (!alive_) return nullptr;
  ErrorTrap trap(display_);
  cairo_surface_t* drawing = target(window_);
  auto surface = std::make_unique<cairo::CairoSurface>(drawing);
  cairo_surface_destroy(drawing);
  return surface;
}

CPoint X11Window::screenPosition() const {
  if (!alive_) return {};
  int x = 0;
  int y = 0;
  ::Window child = 0;
  ErrorTrap trap(display_);
  XTranslateCoordinates(display_, window_, root_, 0, 0, &x, &y, &child);
  return CPoint(x, y);
}

bool X11Window::queryPointer(CPoint& where, CButtonState& buttons) const {
  if (!alive_) return false;
  ::Window root = 0;
  ::Window child = 0;
  int rootX = 0, rootY = 0, x = 0, y = 0;
  unsigned int mask = 0;
  ErrorTrap trap(display_);
  if (!XQueryPointer(display_, window_, &root, &child, &rootX, &rootY, &x, &y, &mask)) return false;
  where = CPoint(x, y);
  buttons = buttonSet(mask);
  return true;
}

void* X11Window::nativeHandle() const {
  return reinterpret_cast<void*>(window_);
}

}  // namespace VSTGUI::platform::x11
