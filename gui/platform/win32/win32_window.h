#pragma once
#include <memory>

#include "gui/platform/backend.h"
#include "gui/platform/gdiplus/gdiplus_api.h"

namespace VSTGUI::platform::win32 {

class DropTarget;

// The frame's child window inside the host's window. Win32 delivers its
// messages through the host's message loop to windowProc, which turns them
// into the listener's calls: paints, presses with capture, releases, moves
// with a leave notification, the wheel, and changes of DPI. The window is
// made as DPI-aware as its parent.
class Win32Window final : public Window {
 public:
  // Null when the parent is not a window or creation fails. The window
  // class must be registered. From major version 6 on the window has the
  // composited style; before, paints go through the frame's back buffer.
  static std::unique_ptr<Win32Window> create(HWND parent, const char* className, const char* title,
                                             int32_t width, int32_t height, WindowListener& listener,
                                             int systemMajorVersion);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  void invalidate(const PixelRect& rect) override;
  bool paintsThroughBackBuffer() const override { return systemMajorVersion_ <= 5; }
  void requestLeaveNotification() override;
  // Messages come through the host's message loop: nothing to do here.
  void pumpEvents() override {}
  std::unique_ptr<Surface> createSurface() override;
  CPoint screenPosition() const override;
  bool queryPointer(CPoint& where, CButtonState& buttons) const override;
  void* nativeHandle() const override { return hwnd_; }
  void resize(int32_t width, int32_t height) override;

  HWND hwnd() const { return hwnd_; }

  // The window class of every frame: global, double clicks, this window
  // procedure, the arrow cursor, no background brush. [gui]
  static bool registerClass(const char* className);
  static void unregisterClass(const char* className);
  // The running system's major version (5 for XP, 6 for Vista and 7, ...).
  static int systemMajorVersion();
  // The button set of a mouse message's key flags, with alt from the
  // keyboard's state as of that message.
  static CButtonState buttonsFromKeyFlags(WPARAM flags);
  // Shift, control and alt as of the message being handled.
  static CButtonState modifierButtons();

 private:
  Win32Window(WindowListener& listener, int systemMajorVersion)
      : listener_(listener), systemMajorVersion_(systemMajorVersion) {}
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  void paint();
  void mouseDown(WPARAM wParam, LPARAM lParam, bool doubleClick);
  void wheel(WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
  WindowListener& listener_;
  int systemMajorVersion_;
  DropTarget* dropTarget_ = nullptr;
  bool oleReady_ = false;
  // True from a handled press that took the capture until its release or
  // the capture's loss; the loss then counts as the release.
  bool capturing_ = false;
  CPoint lastPointer_;  // of the newest mouse message, window pixels
};

}  // namespace VSTGUI::platform::win32
