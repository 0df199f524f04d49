// The host window on Windows: a top-level window with a fixed client size
// and a close box, whose message loop also serves the editor's child
// windows, and read-back of its client area (the editor included).
#define WIN32_LEAN_AND_MEAN
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstring>

#include "host/editor_window.h"

namespace vornhost {

namespace {

constexpr wchar_t kClassName[] = L"VornHostEditorWindow";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int length = static_cast<int>(utf8.size());
  const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
  if (needed <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(needed), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
  return wide;
}

// The outer size of a window whose client area is width × height.
SIZE OuterSize(int width, int height) {
  RECT r = {0, 0, width, height};
  AdjustWindowRectEx(&r, kStyle, FALSE, 0);
  return SIZE{r.right - r.left, r.bottom - r.top};
}

class Win32EditorWindow final : public EditorWindow {
 public:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Win32EditorWindow*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self != nullptr) {
      if (message == WM_CLOSE) {
        // The command decides when to close the editor and the window.
        self->closeRequested_ = true;
        return 0;
      }
      if (message == WM_NCDESTROY) {
        self->closeRequested_ = true;
        self->hwnd_ = nullptr;
      }
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }

  explicit Win32EditorWindow(HWND hwnd) : hwnd_(hwnd) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~Win32EditorWindow() override {
    if (hwnd_ != nullptr) {
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      DestroyWindow(hwnd_);
    }
  }

  void* parent() override { return hwnd_; }

  void Pump() override {
    // Every window of this thread, the plug-in's child window among them.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
  }

  void SetTitle(const std::string& title) override {
    if (hwnd_ != nullptr) SetWindowTextW(hwnd_, Widen(title).c_str());
  }

  void Resize(int width, int height) override {
    if (hwnd_ == nullptr || width <= 0 || height <= 0) return;
    const SIZE outer = OuterSize(width, height);
    SetWindowPos(hwnd_, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  bool CloseRequested() const override { return closeRequested_; }

  bool Capture(WindowImage& image, std::string& why) override {
    if (hwnd_ == nullptr) {
      why = "the window is gone";
      return false;
    }
    // Pending paints first, the editor's included.
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT client = {};
    GetClientRect(hwnd_, &client);
    const int width = client.right;
    const int height = client.bottom;
    if (width <= 0 || height <= 0) {
      why = "the window has no area";
      return false;
    }
    HDC screen = GetDC(hwnd_);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // rows from the top
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap != nullptr && memory != nullptr) {
      HGDIOBJ old = SelectObject(memory, bitmap);
      copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
      GdiFlush();
      if (copied) {
        image.width = width;
        image.height = height;
        image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        std::memcpy(image.pixels.data(), bits, image.pixels.size() * sizeof(std::uint32_t));
        for (std::uint32_t& p : image.pixels) p |= 0xFF000000u;
      }
      SelectObject(memory, old);
    }
    if (bitmap != nullptr) DeleteObject(bitmap);
    if (memory != nullptr) DeleteDC(memory);
    ReleaseDC(hwnd_, screen);
    if (!copied) why = "the window's pixels cannot be read";
    return copied;
  }

 private:
  HWND hwnd_;
  bool closeRequested_ = false;
};

}  // namespace

std::unique_ptr<EditorWindow> EditorWindow::Create(int width, int height, std::string& why) {
  if (width <= 0 || height <= 0) {
    why = "the window needs a positive size";
    return nullptr;
  }
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW windowClass = {};
  windowClass.lpfnWndProc = Win32EditorWindow::Procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  windowClass.lpszClassName = kClassName;
  if (RegisterClassW(&windowClass) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    why = "the window class cannot be registered";
    return nullptr;
  }
  const SIZE outer = OuterSize(width, height);
  HWND hwnd = CreateWindowExW(0, kClassName, L"vornhost", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, outer.cx,
                              outer.cy, nullptr, nullptr, instance, nullptr);
  if (hwnd == nullptr) {
    why = "no window can be made (is there a display?)";
    return nullptr;
  }
  ShowWindow(hwnd, SW_SHOWNORMAL);
  UpdateWindow(hwnd);
  return std::make_unique<Win32EditorWindow>(hwnd);
}

}  // namespace vornhost
