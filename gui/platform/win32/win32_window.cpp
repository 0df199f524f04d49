#include "gui/platform/win32/win32_window.h"

#include <windowsx.h>

#include "gui/platform/gdiplus/gdiplus_surface.h"
#include "gui/platform/win32/win32_dpi.h"
#include "gui/platform/win32/win32_drop_target.h"

namespace VSTGUI::platform::win32 {

namespace {

using gdiplus::codeModule;
using gdiplus::widenNarrow;

constexpr size_t kMaxClassNameCharacters = 99;
constexpr DWORD kClassStyle = CS_GLOBALCLASS | CS_DBLCLKS;                                 // 0x4008
constexpr DWORD kWindowStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;  // 0x56000000
constexpr int kWheelStep = WHEEL_DELTA;                                                    // 120
// The DPI messages of newer systems: to top-level windows, and to child
// windows after their parent took the new DPI.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// Read once when the class is registered; no path of the plug-in uses it.
bool gButtonsSwapped = false;

// A key's state as of the message being handled (this thread's view of the
// input, in step with the messages it has read).
bool keyDown(int key) {
  return (GetKeyState(key) & 0x8000) != 0;
}

// A key's or button's state at this very moment, outside any message.
bool keyDownNow(int key) {
  return (GetAsyncKeyState(key) & 0x8000) != 0;
}

}  // namespace

int Win32Window::systemMajorVersion() {
  OSVERSIONINFOW version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(&version)) return 6;
#pragma GCC diagnostic pop
  return static_cast<int>(version.dwMajorVersion);
}

bool Win32Window::registerClass(const char* className) {
  if (!className) return false;
  const std::wstring name = widenNarrow(className, kMaxClassNameCharacters);
  gButtonsSwapped = GetSystemMetrics(SM_SWAPBUTTON) != 0;
  WNDCLASSW windowClass = {};
  windowClass.style = kClassStyle;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = codeModule();
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = name.c_str();
  return RegisterClassW(&windowClass) != 0;
}

void Win32Window::unregisterClass(const char* className) {
  if (!className) return;
  UnregisterClassW(widenNarrow(className, kMaxClassNameCharacters).c_str(), codeModule());
}

std::unique_ptr<Win32Window> Win32Window::create(HWND parent, const char* className, const char* title,
                                                 int32_t width, int32_t height, WindowListener& listener,
                                                 int systemMajorVersion) {
  if (!parent || !IsWindow(parent) || !className) return nullptr;
  std::unique_ptr<Win32Window> window(new Win32Window(listener, systemMajorVersion));
  const DWORD extendedStyle = systemMajorVersion >= 6 ? WS_EX_COMPOSITED : 0;  // 0x02000000
  const std::wstring name = widenNarrow(className, kMaxClassNameCharacters);
  const std::wstring caption = widenNarrow(title ? title : "", 255);
  {
    const DpiAwarenessLikeParent awareness(parent);
    window->hwnd_ = CreateWindowExW(extendedStyle, name.c_str(), caption.c_str(), kWindowStyle, 0, 0, width,
                                    height, parent, nullptr, codeModule(), nullptr);
  }
  if (!window->hwnd_) return nullptr;
  SetWindowLongPtrW(window->hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(window.get()));

  // Drag and drop needs OLE on this thread for as long as the target is
  // registered, which may be longer than the frame keeps it initialised.
  const HRESULT ole = OleInitialize(nullptr);
  window->oleReady_ = SUCCEEDED(ole);
  if (window->oleReady_) {
    window->dropTarget_ = new DropTarget();
    if (FAILED(RegisterDragDrop(window->hwnd_, window->dropTarget_))) {
      window->dropTarget_->Release();
      window->dropTarget_ = nullptr;
    }
  }
  return window;
}

Win32Window::~Win32Window() {
  if (hwnd_) {
    if (dropTarget_) RevokeDragDrop(hwnd_);
    // Messages during destruction get default handling.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
  }
  if (dropTarget_) dropTarget_->Release();
  if (oleReady_) OleUninitialize();
}

void Win32Window::invalidate(const PixelRect& rect) {
  if (!hwnd_) return;
  const RECT r = {rect.x, rect.y, rect.x + rect.width, rect.y + rect.height};
  InvalidateRect(hwnd_, &r, TRUE);
}

void Win32Window::resize(int32_t width, int32_t height) {
  if (!hwnd_ || width <= 0 || height <= 0) return;
  SetWindowPos(hwnd_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::requestLeaveNotification() {
  if (!hwnd_) return;
  TRACKMOUSEEVENT track = {};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = hwnd_;
  TrackMouseEvent(&track);
}

std::unique_ptr<Surface> Win32Window::createSurface() {
  if (!hwnd_) return nullptr;
  return gdiplus::GdiplusSurface::onDeviceContext(GetDC(hwnd_), hwnd_);
}

CPoint Win32Window::screenPosition() const {
  RECT r = {};
  if (!hwnd_ || !GetWindowRect(hwnd_, &r)) return CPoint(0, 0);
  return CPoint(r.left, r.top);
}

bool Win32Window::queryPointer(CPoint& where, CButtonState& buttons) const {
  POINT p = {};
  if (!hwnd_ || !GetCursorPos(&p) || !ScreenToClient(hwnd_, &p)) return false;
  where = CPoint(p.x, p.y);
  // The physical buttons, mapped to the logical ones.
  const bool left = keyDownNow(gButtonsSwapped ? VK_RBUTTON : VK_LBUTTON);
  const bool right = keyDownNow(gButtonsSwapped ? VK_LBUTTON : VK_RBUTTON);
  buttons = (keyDownNow(VK_SHIFT) ? kShift : 0) | (keyDownNow(VK_CONTROL) ? kControl : 0) |
            (keyDownNow(VK_MENU) ? kAlt : 0) | (left ? kLButton : 0) | (right ? kRButton : 0) |
            (keyDownNow(VK_MBUTTON) ? kMButton : 0) | (keyDownNow(VK_XBUTTON1) ? kButton4 : 0) |
            (keyDownNow(VK_XBUTTON2) ? kButton5 : 0);
  return true;
}

CButtonState Win32Window::modifierButtons() {
  return (keyDown(VK_SHIFT) ? kShift : 0) | (keyDown(VK_CONTROL) ? kControl : 0) |
         (keyDown(VK_MENU) ? kAlt : 0);
}

CButtonState Win32Window::buttonsFromKeyFlags(WPARAM flags) {
  CButtonState buttons = 0;
  if (flags & MK_LBUTTON) buttons |= kLButton;
  if (flags & MK_RBUTTON) buttons |= kRButton;
  if (flags & MK_MBUTTON) buttons |= kMButton;
  if (flags & MK_XBUTTON1) buttons |= kButton4;
  if (flags & MK_XBUTTON2) buttons |= kButton5;
  if (flags & MK_CONTROL) buttons |= kControl;
  if (flags & MK_SHIFT) buttons |= kShift;
  if (keyDown(VK_MENU)) buttons |= kAlt;
  return buttons;
}

LRESULT CALLBACK Win32Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* window = reinterpret_cast<Win32Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  return window->handle(message, wParam, lParam);
}

LRESULT Win32Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const HWND hwnd = hwnd_;
  switch (message) {
    case WM_DESTROY:
      // The window system destroys us, for example with the host's window.
      listener_.platformWindowDestroyed();
      break;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      if (dropTarget_) RevokeDragDrop(hwnd);
      hwnd_ = nullptr;
      return DefWindowProcW(hwnd, message, wParam, lParam);
    case WM_PAINT:
      paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      lastPointer_ = CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      listener_.platformMouseMoved(lastPointer_, buttonsFromKeyFlags(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      mouseDown(wParam, lParam, false);
      return 0;
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
    case WM_XBUTTONDBLCLK:
      mouseDown(wParam, lParam, true);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
    case WM_XBUTTONUP:
      lastPointer_ = CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      // Cleared first: giving the capture back sends WM_CAPTURECHANGED,
      // which must not release a second time.
      capturing_ = false;
      listener_.platformMouseUp(lastPointer_, buttonsFromKeyFlags(wParam));
      ReleaseCapture();
      return 0;
    case WM_CAPTURECHANGED:
      // Another window took the mouse mid-drag (a host dialog, for
      // example): no release will come, so the loss is the release.
      if (capturing_ && reinterpret_cast<HWND>(lParam) != hwnd) {
        capturing_ = false;
        listener_.platformMouseUp(lastPointer_, modifierButtons());
      }
      return 0;
    case WM_MOUSEWHEEL:
      wheel(wParam, lParam);
      // Default handling passes the wheel on to the parent as well.
      break;
    case kDpiChanged:
    case kDpiChangedAfterParent:
      listener_.platformScaleChanged(windowDpi(hwnd) / 96.0);
      return 0;
    case WM_MOUSELEAVE: {
      CPoint where;
      CButtonState buttons = 0;
      queryPointer(where, buttons);
      listener_.platformMouseExited(where, buttons);
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

void Win32Window::mouseDown(WPARAM wParam, LPARAM lParam, bool doubleClick) {
  CButtonState buttons = buttonsFromKeyFlags(wParam);
  if (doubleClick) buttons |= kDoubleClick;
  lastPointer_ = CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
  const CMouseEventResult result = listener_.platformMouseDown(lastPointer_, buttons);
  // The drag goes on reaching the window outside it until the release.
  if (result == kMouseEventHandled && hwnd_) {
    capturing_ = true;
    SetCapture(hwnd_);
  }
}

void Win32Window::wheel(WPARAM wParam, LPARAM lParam) {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  const CPoint where(GET_X_LPARAM(lParam) - r.left, GET_Y_LPARAM(lParam) - r.top);
  // Whole notches only, toward zero: a delta of 60 is no step.
  const auto distance = static_cast<float>(GET_WHEEL_DELTA_WPARAM(wParam) / kWheelStep);
  listener_.platformWheel(where, distance, modifierButtons());
}

void Win32Window::paint() {
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int kind = region ? GetUpdateRgn(hwnd_, region, FALSE) : ERROR;
  if (kind != NULLREGION && kind != ERROR) {
    PAINTSTRUCT ps = {};
    HDC dc = BeginPaint(hwnd_, &ps);
    if (dc) {
      std::unique_ptr<gdiplus::GdiplusSurface> surface = gdiplus::GdiplusSurface::onDeviceContext(dc);
      const CRect update(ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
      listener_.platformPaint(*surface, update);
    }
    EndPaint(hwnd_, &ps);
  }
  if (region) DeleteObject(region);
}

}  // namespace VSTGUI::platform::win32
