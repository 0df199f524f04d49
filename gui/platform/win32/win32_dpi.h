#pragma once
// Dots per inch of windows and of the system, through the calls of newer
// Windows versions where the running system has them (looked up at run
// time, so the plug-in still loads on older systems).
#include "gui/platform/gdiplus/gdiplus_api.h"

namespace VSTGUI::platform::win32 {

// The window's DPI (GetDpiForWindow, Windows 10 1607 on), else the
// system's (GetDpiForSystem, else the screen's LOGPIXELSX); 96 when none
// answers. A null window asks for the system's.
unsigned windowDpi(HWND window);

// Makes the calling thread's new windows as DPI-aware as parent (what a
// child window must be) for the object's life, where the system has the
// calls; does nothing elsewhere.
class DpiAwarenessLikeParent {
 public:
  explicit DpiAwarenessLikeParent(HWND parent);
  ~DpiAwarenessLikeParent();
  DpiAwarenessLikeParent(const DpiAwarenessLikeParent&) = delete;
  DpiAwarenessLikeParent& operator=(const DpiAwarenessLikeParent&) = delete;

 private:
  void* previous_ = nullptr;
};

}  // namespace VSTGUI::platform::win32
