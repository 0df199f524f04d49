#pragma once
#include <X11/Xlib.h>
#include <cairo.h>

#include <memory>
#include <vector>

#include "gui/platform/backend.h"
#include "gui/platform/x11/x11_error_trap.h"
#include "gui/platform/x11/x11_event_reader.h"

namespace VSTGUI::platform::x11 {

// The frame's child window inside the host's X11 window, on two display
// connections of its own. The window belongs to the EventReader's
// connection, whose thread reads its events as they arrive and restores
// exposed parts from the last finished picture at once. Everything else
// happens on the editor's thread over the drawing connection: in
// pumpEvents(), which the frame calls from the editor's idle, the queued
// input reaches the frame in order and pending paints are drawn into the
// picture and copied onto the window. Paints always go through the frame's
// back buffer (an X11 window has no composited style).
class X11Window final : public Window {
 public:
  // Null when no display can be opened, the parent is not a window, or the
  // window cannot be made.
  static std::unique_ptr<X11Window> create(::Window parent, const char* className, const char* title,
                                           int32_t width, int32_t height, WindowListener& listener);
  ~X11Window() override;
  X11Window(const X11Window&) = delete;
  X11Window& operator=(const X11Window&) = delete;

  void invalidate(const PixelRect& rect) override;
  bool paintsThroughBackBuffer() const override { return true; }
  // Leave events are always selected on X11.
  void requestLeaveNotification() override {}
  void pumpEvents() override;
  std::unique_ptr<Surface> createSurface() override;
  CPoint screenPosition() const override;
  bool queryPointer(CPoint& where, CButtonState& buttons) const override;
  void* nativeHandle() const override;
  // Xft.dpi / 96 from the resources the drawing connection got when it
  // opened; 0 when they hold no such number.
  double desktopScale() const override { return desktopScale_; }

  // Double clicks as the window system would detect them: the same button
  // pressed again within this time and distance of the first press.
  static constexpr unsigned long kDoubleClickMilliseconds = 500;
  static constexpr int kDoubleClickDistance = 2;

 private:
  X11Window(Display* display, ::Window parent, int32_t width, int32_t height, WindowListener& listener);
  // The picture and the reader, which takes the events connection (and
  // sets it to null) once reached; false when any is missing.
  bool build(Display*& events);
  void handle(XEvent& event);
  void handleButtonPress(const XButtonEvent& event);
  void handleButtonRelease(const XButtonEvent& event);
  void forwardToParent(const XButtonEvent& event);
  CButtonState buttonSet(unsigned int state) const;
  void paintPending();
  // A new cairo surface on the window or the picture (the caller destroys
  // it).
  cairo_surface_t* target(Drawable drawable);

  // The process's X error handler is ours while the window lives (made
  // first, gone last: after both connections are closed).
  ErrorHandlerUse handlerUse_;
  // The drawing connection, used only on the editor's thread.
  Display* display_;
  // cairo's device for our display, finished before the display is closed
  // so cairo releases what it keeps per connection.
  cairo_device_t* cairoDevice_ = nullptr;
  ::Window parent_;
  ::Window window_ = 0;
  ::Window root_ = 0;
  // The window's visual as the drawing connection knows it.
  Visual* visual_ = nullptr;
  // The last finished picture: every paint is drawn here first, and the
  // reader copies exposed parts from it.
  Pixmap picture_ = 0;
  GC gc_ = nullptr;
  std::unique_ptr<EventReader> reader_;
  std::vector<XEvent> events_;
  int32_t width_;
  int32_t height_;
  double desktopScale_ = 0;
  WindowListener& listener_;
  bool alive_ = false;

  bool pending_ = false;
  int32_t pendingLeft_ = 0, pendingTop_ = 0, pendingRight_ = 0, pendingBottom_ = 0;

  // Buttons 8 and 9 (the fourth and fifth) have no state bits in X11.
  CButtonState extraButtons_ = 0;
  unsigned int lastButton_ = 0;
  Time lastPressTime_ = 0;
  int lastPressX_ = 0;
  int lastPressY_ = 0;
};

}  // namespace VSTGUI::platform::x11
