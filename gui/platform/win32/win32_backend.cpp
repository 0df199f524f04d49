#include "gui/platform/gdiplus/gdiplus_backend.h"
#include "gui/platform/platform_backend.h"
#include "gui/platform/win32/win32_dpi.h"
#include "gui/platform/win32/win32_window.h"

namespace VSTGUI::platform {

namespace {

// OleInitialize calls that failed on this thread (it was set up for another
// apartment model): their matching leave must not uninitialise.
thread_local int tFailedOleInits = 0;

// GDI+ for drawing, Win32 for the window.
class Win32GdiplusBackend final : public gdiplus::GdiplusBackend {
 public:
  void enterWindowThread() override {
    if (FAILED(OleInitialize(nullptr))) ++tFailedOleInits;
  }
  void leaveWindowThread() override {
    if (tFailedOleInits > 0)
      --tFailedOleInits;
    else
      OleUninitialize();
  }
  void registerWindowClass(const char* className) override { win32::Win32Window::registerClass(className); }
  void unregisterWindowClass(const char* className) override {
    win32::Win32Window::unregisterClass(className);
  }
  std::unique_ptr<Window> createChildWindow(void* parent, const char* className, const char* title,
                                            int32_t width, int32_t height,
                                            WindowListener& listener) override {
    // The version is read for every frame; only its major part counts.
    return win32::Win32Window::create(static_cast<HWND>(parent), className, title, width, height, listener,
                                      win32::Win32Window::systemMajorVersion());
  }
  double desktopScale(void* parent) override { return win32::windowDpi(static_cast<HWND>(parent)) / 96.0; }
};

}  // namespace

Backend& platformBackend() {
  static Win32GdiplusBackend backend;
  return backend;
}

}  // namespace VSTGUI::platform
