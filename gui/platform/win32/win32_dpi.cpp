#include "gui/platform/win32/win32_dpi.h"

namespace VSTGUI::platform::win32 {

namespace {

using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
using GetDpiForSystemFunction = UINT(WINAPI*)();
// DPI_AWARENESS_CONTEXT is a handle; kept as void* so older headers do.
using GetWindowDpiAwarenessContextFunction = void*(WINAPI*)(HWND);
using SetThreadDpiAwarenessContextFunction = void*(WINAPI*)(void*);

// A function of user32 by name, or null on systems without it.
template <typename Function>
Function user32Function(const char* name) {
  HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  // The cast through a generic function pointer keeps GCC's function type
  // check quiet; the signature is the documented one.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

unsigned windowDpi(HWND window) {
  if (window) {
    static const auto forWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (forWindow) {
      const UINT dpi = forWindow(window);
      if (dpi > 0) return dpi;
    }
  }
  static const auto forSystem = user32Function<GetDpiForSystemFunction>("GetDpiForSystem");
  if (forSystem) {
    const UINT dpi = forSystem();
    if (dpi > 0) return dpi;
  }
  if (HDC screen = GetDC(nullptr)) {
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    if (dpi > 0) return static_cast<unsigned>(dpi);
  }
  return 96;
}

DpiAwarenessLikeParent::DpiAwarenessLikeParent(HWND parent) {
  static const auto ofWindow =
      user32Function<GetWindowDpiAwarenessContextFunction>("GetWindowDpiAwarenessContext");
  static const auto setForThread =
      user32Function<SetThreadDpiAwarenessContextFunction>("SetThreadDpiAwarenessContext");
  if (!parent || !ofWindow || !setForThread) return;
  if (void* context = ofWindow(parent)) previous_ = setForThread(context);
}

DpiAwarenessLikeParent::~DpiAwarenessLikeParent() {
  static const auto setForThread =
      user32Function<SetThreadDpiAwarenessContextFunction>("SetThreadDpiAwarenessContext");
  if (previous_ && setForThread) setForThread(previous_);
}

}  // namespace VSTGUI::platform::win32
