// The frame's Win32 window, driven by the messages Windows would send it:
// the window class and styles, button sets, double clicks, capture during
// a drag, the wheel, the leave notification, paints and the back-buffer
// rule by system version.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "gui/cdraw_context.h"
#include "gui/cframe.h"
#include "gui/platform/gdiplus/gdiplus_api.h"
#include "gui/platform/platform_backend.h"
#include "gui/platform/win32/win32_window.h"

using namespace VSTGUI;
using Events = std::vector<std::string>;

namespace {

std::string Hex(int32_t v) {
  char b[16];
  std::snprintf(b, sizeof b, "0x%x", static_cast<unsigned>(v));
  return b;
}

std::string Num(double v) {
  char b[32];
  std::snprintf(b, sizeof b, "%g", v);
  return b;
}

// Writes what reaches it as one line per event.
class ProbeView : public CView {
 public:
  ProbeView(const CRect& r, Events& events) : CView(r), events_(events) {}
  void draw(CDrawContext* context) override {
    CRect clip;
    context->getClipRect(clip);
    events_.push_back("draw " + Num(clip.left) + " " + Num(clip.top) + " " + Num(clip.right) + " " +
                      Num(clip.bottom));
  }
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override {
    return log("down", p, b), pressResult;
  }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override {
    return log("up", p, b), kMouseEventHandled;
  }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override {
    return log("moved", p, b), kMouseEventHandled;
  }
  CMouseEventResult onMouseEntered(CPoint& p, const CButtonState& b) override {
    return log("entered", p, b), kMouseEventHandled;
  }
  CMouseEventResult onMouseExited(CPoint&, const CButtonState&) override {
    events_.push_back("exited");
    return kMouseEventHandled;
  }
  void mouse(CDrawContext*, CPoint& p, CButtonState b) override { log("legacy", p, b); }
  bool onWheel(const CPoint& p, const CMouseWheelAxis&, const float& d, const CButtonState& b) override {
    events_.push_back("wheel " + Num(p.x) + "," + Num(p.y) + " " + Num(d) + " " + Hex(b));
    return false;
  }

  CMouseEventResult pressResult = kMouseEventHandled;

 private:
  void log(const char* what, const CPoint& p, CButtonState b) {
    events_.push_back(std::string(what) + " " + Num(p.x) + "," + Num(p.y) + " " + Hex(b));
  }
  Events& events_;
};

LPARAM At(int x, int y) {
  return MAKELPARAM(static_cast<WORD>(static_cast<short>(x)), static_cast<WORD>(static_cast<short>(y)));
}

void Pump() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

// A host's top-level window with one frame of 200 × 100 and a probe view.
class FrameWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::usePlatformBackend();
    WNDCLASSW host = {};
    host.lpfnWndProc = DefWindowProcW;
    host.hInstance = GetModuleHandleW(nullptr);
    host.lpszClassName = L"VornTestHost";
    RegisterClassW(&host);
    parent_ = CreateWindowExW(0, L"VornTestHost", L"host", WS_POPUP | WS_VISIBLE, 200, 150, 400, 300, nullptr,
                              nullptr, host.hInstance, nullptr);
    if (!parent_) GTEST_SKIP() << "no window can be made here (no display for wine?)";
    frame_ = new CFrame(CRect(0, 0, 200, 100), parent_, nullptr);
    view_ = new ProbeView(CRect(0, 0, 200, 100), events_);
    frame_->addView(view_);
    ASSERT_NE(frame_->getPlatformWindow(), nullptr);
    child_ = static_cast<HWND>(frame_->getPlatformWindow()->nativeHandle());
    // Park the pointer away from the window.
    SetCursorPos(0, 0);
    Pump();
    events_.clear();
  }
  void TearDown() override {
    if (frame_) frame_->forget();
    if (parent_) DestroyWindow(parent_);
    Pump();
  }
  Events Take() {
    Events taken;
    taken.swap(events_);
    return taken;
  }

  HWND parent_ = nullptr;
  HWND child_ = nullptr;
  CFrame* frame_ = nullptr;
  ProbeView* view_ = nullptr;
  Events events_;
};

bool ClassExists(const char* name) {
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  const std::wstring wide(name, name + std::strlen(name));
  return GetClassInfoExW(VSTGUI::platform::gdiplus::codeModule(), wide.c_str(), &info) != 0;
}

}  // namespace

TEST_F(FrameWindow, IsAChildOfTheHostsWindowInTheSharedClass) {
  const std::string name = CFrame::windowClassName();
  EXPECT_EQ(name.rfind("Plugin", 0), 0u) << name;
  EXPECT_TRUE(ClassExists(name.c_str()));
  EXPECT_EQ(GetParent(child_), parent_);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrW(child_, GWL_STYLE)), 0x56000000u);
  WNDCLASSEXW info = {};
  info.cbSize = sizeof info;
  GetClassInfoExW(VSTGUI::platform::gdiplus::codeModule(), std::wstring(name.begin(), name.end()).c_str(),
                  &info);
  EXPECT_EQ(info.style, static_cast<UINT>(CS_GLOBALCLASS | CS_DBLCLKS));
  RECT r;
  GetClientRect(child_, &r);
  EXPECT_EQ(r.right, 200);
  EXPECT_EQ(r.bottom, 100);
  // Wine reports Windows 6.1 or later: the composited style, no back buffer.
  ASSERT_GE(platform::win32::Win32Window::systemMajorVersion(), 6);
  EXPECT_TRUE(GetWindowLongPtrW(child_, GWL_EXSTYLE) & WS_EX_COMPOSITED);
  EXPECT_FALSE(frame_->getPlatformWindow()->paintsThroughBackBuffer());

  // A second frame shares the class; it goes with the last frame.
  auto* second = new CFrame(CRect(0, 0, 50, 50), parent_, nullptr);
  EXPECT_EQ(CFrame::liveFrameCount(), 2);
  second->forget();
  EXPECT_TRUE(ClassExists(name.c_str()));
  frame_->forget();
  frame_ = nullptr;
  EXPECT_FALSE(ClassExists(name.c_str()));
}

TEST_F(FrameWindow, PressesCarryTheirButtonSets) {
  SendMessageW(child_, WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, At(10, 20));
  SendMessageW(child_, WM_LBUTTONUP, MK_SHIFT, At(10, 20));
  SendMessageW(child_, WM_LBUTTONDBLCLK, MK_LBUTTON | MK_SHIFT, At(10, 20));
  SendMessageW(child_, WM_LBUTTONUP, 0, At(10, 20));
  SendMessageW(child_, WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, At(1, 2));
  SendMessageW(child_, WM_RBUTTONUP, 0, At(1, 2));
  SendMessageW(child_, WM_MBUTTONDOWN, MK_MBUTTON, At(3, 4));
  SendMessageW(child_, WM_MBUTTONUP, 0, At(3, 4));
  SendMessageW(child_, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), At(5, 6));
  SendMessageW(child_, WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2), At(5, 6));
  EXPECT_EQ(Take(),
            (Events{"down 10,20 0x12", "up 10,20 0x10", "down 10,20 0x412", "up 10,20 0x0", "down 1,2 0x28",
                    "up 1,2 0x0", "down 3,4 0x4", "up 3,4 0x0", "down 5,6 0x200", "up 5,6 0x0"}));
}

TEST_F(FrameWindow, AltComesFromTheKeyboardStateOfTheMessage) {
  // This thread's key states, as reading a key-down message would set them.
  BYTE keys[256] = {};
  ASSERT_TRUE(GetKeyboardState(keys));
  keys[VK_MENU] = 0x80;
  ASSERT_TRUE(SetKeyboardState(keys));
  RECT r;
  GetWindowRect(child_, &r);
  SendMessageW(child_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(r.left + 1, r.top + 2));
  SendMessageW(child_, WM_LBUTTONDOWN, MK_LBUTTON, At(7, 8));
  // During a drag the wheel reaches no view.
  SendMessageW(child_, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(r.left + 1, r.top + 2));
  keys[VK_MENU] = 0;
  SetKeyboardState(keys);
  SendMessageW(child_, WM_LBUTTONUP, 0, At(7, 8));
  EXPECT_EQ(Take(), (Events{"wheel 1,2 1 0x40", "down 7,8 0x42", "up 7,8 0x0"}));
}

TEST_F(FrameWindow, AHandledPressCapturesTheMouseUntilTheRelease) {
  SendMessageW(child_, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 50));
  EXPECT_EQ(GetCapture(), child_);
  // Outside the window the drag still reaches the view, at negative or
  // large coordinates.
  SendMessageW(child_, WM_MOUSEMOVE, MK_LBUTTON, At(-5, 600));
  SendMessageW(child_, WM_LBUTTONUP, 0, At(-5, 600));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Take(), (Events{"down 50,50 0x2", "moved -5,600 0x2", "up -5,600 0x0"}));

  view_->pressResult = kMouseEventNotHandled;
  SendMessageW(child_, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 50));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Take(), (Events{"down 50,50 0x2", "legacy 50,50 0x2"}));
  SendMessageW(child_, WM_LBUTTONUP, 0, At(50, 50));
}

// Another window taking the capture mid-drag ends the drag as a release
// would; the late button release does not release a second time.
TEST_F(FrameWindow, LosingTheCaptureMidDragIsARelease) {
  SendMessageW(child_, WM_LBUTTONDOWN, MK_LBUTTON, At(50, 50));
  SendMessageW(child_, WM_MOUSEMOVE, MK_LBUTTON, At(60, 55));
  ASSERT_EQ(GetCapture(), child_);
  SetCapture(parent_);  // the host takes the mouse
  EXPECT_EQ(Take(), (Events{"down 50,50 0x2", "moved 60,55 0x2", "up 60,55 0x0"}));
  ReleaseCapture();
  SendMessageW(child_, WM_LBUTTONUP, 0, At(60, 55));
  EXPECT_EQ(Take(), Events{});  // the drag has ended: the late release reaches no view

  SendMessageW(child_, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
  SendMessageW(child_, WM_LBUTTONUP, 0, At(10, 10));
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(Take(), (Events{"down 10,10 0x2", "up 10,10 0x0"}));
}

TEST_F(FrameWindow, TheWheelCountsWholeNotchesAtItsScreenPosition) {
  RECT r;
  GetWindowRect(child_, &r);
  for (short delta : {120, 60, -240}) {
    SendMessageW(child_, WM_MOUSEWHEEL, MAKEWPARAM(MK_SHIFT, static_cast<WORD>(delta)),
                 At(r.left + 30, r.top + 40));
  }
  // Buttons come from the keyboard, not from the message's flags.
  EXPECT_EQ(Take(), (Events{"wheel 30,40 1 0x0", "wheel 30,40 0 0x0", "wheel 30,40 -2 0x0"}));
}

TEST_F(FrameWindow, LeavingTheWindowIsNotifiedOnce) {
  // The pointer enters the window, then goes away: the first move asked
  // Windows to tell when it leaves.
  RECT r;
  GetWindowRect(child_, &r);
  SetCursorPos(r.left + 20, r.top + 30);
  SendMessageW(child_, WM_MOUSEMOVE, 0, At(20, 30));
  Pump();
  SetCursorPos(0, 0);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  while (std::find(events_.begin(), events_.end(), "exited") == events_.end() &&
         std::chrono::steady_clock::now() < deadline) {
    Pump();
    Sleep(10);
  }
  Pump();
  const Events events = Take();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), "entered 20,30 0x0");
  EXPECT_EQ(events.back(), "exited");
  EXPECT_EQ(std::count(events.begin(), events.end(), "exited"), 1);
  // A further notice reaches nobody: the pointer is over no view now.
  SendMessageW(child_, WM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(Take().empty());
}

TEST_F(FrameWindow, PaintsDrawTheInvalidatedRectangleOnly) {
  UpdateWindow(child_);
  Take();
  frame_->invalidRect(CRect(10.7, 20.2, 30.9, 40.5));
  UpdateWindow(child_);
  EXPECT_EQ(Take(), (Events{"draw 10 20 30 40"}));
  InvalidateRect(child_, nullptr, TRUE);
  UpdateWindow(child_);
  EXPECT_EQ(Take(), (Events{"draw 0 0 200 100"}));
  // A paint message with nothing to update draws nothing.
  SendMessageW(child_, WM_PAINT, 0, 0);
  EXPECT_TRUE(Take().empty());
  EXPECT_EQ(SendMessageW(child_, WM_ERASEBKGND, 0, 0), 1);
}

TEST_F(FrameWindow, TheHostDestroyingItsWindowClosesTheFrame) {
  EXPECT_TRUE(frame_->isOpen());
  DestroyWindow(parent_);
  parent_ = nullptr;
  EXPECT_FALSE(frame_->isOpen());
  EXPECT_EQ(frame_->getParentWindow(), nullptr);
  frame_->idle();  // nothing to paint into any more
}

namespace {

struct CountingListener : platform::WindowListener {
  void platformPaint(platform::Surface&, const CRect&) override { ++paints; }
  CMouseEventResult platformMouseDown(CPoint, CButtonState) override { return kMouseEventHandled; }
  void platformMouseUp(CPoint, CButtonState) override {}
  void platformMouseMoved(CPoint, CButtonState) override {}
  void platformMouseExited(CPoint, CButtonState) override {}
  bool platformWheel(CPoint, float, CButtonState) override { return false; }
  void platformWindowDestroyed() override {}
  int paints = 0;
};

}  // namespace

TEST_F(FrameWindow, OlderSystemsPaintThroughABackBufferWithoutTheCompositedStyle) {
  using platform::win32::Win32Window;
  ASSERT_TRUE(Win32Window::registerClass("VornTestFrames"));
  CountingListener listener;
  for (int version : {5, 6, 10}) {
    auto window = Win32Window::create(parent_, "VornTestFrames", "Window", 40, 30, listener, version);
    ASSERT_NE(window, nullptr);
    const bool composited = (GetWindowLongPtrW(window->hwnd(), GWL_EXSTYLE) & WS_EX_COMPOSITED) != 0;
    EXPECT_EQ(composited, version >= 6) << version;
    EXPECT_EQ(window->paintsThroughBackBuffer(), version <= 5) << version;
  }
  Win32Window::unregisterClass("VornTestFrames");
  EXPECT_EQ(Win32Window::create(nullptr, "VornTestFrames", "Window", 40, 30, listener, 6), nullptr);
}
