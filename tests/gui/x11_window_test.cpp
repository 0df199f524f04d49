// The frame's X11 child window: creation inside a host window, paint
// through the back buffer, the button sets built from X events, double
// clicks, the wheel, leave notification and a host window that goes away.
// Needs an X display (run under Xvfb); without one every test is skipped.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/cdraw_context.h"
#include "gui/cframe.h"
#include "gui/platform/platform_backend.h"

// Xlib's macros (None, Bool, …) must come after every C++ header.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace VSTGUI;
using Lines = std::vector<std::string>;

namespace {

class FillView : public CView {
 public:
  FillView(const CRect& r, Lines& events) : CView(r), events_(events) {}
  void draw(CDrawContext* context) override {
    context->setFillColor(color);
    context->drawRect(getViewSize(), kDrawFilled);
  }
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override { return log("down", p, b); }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override { return log("up", p, b); }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override { return log("moved", p, b); }
  CMouseEventResult onMouseEntered(CPoint& p, const CButtonState& b) override { return log("entered", p, b); }
  CMouseEventResult onMouseExited(CPoint& p, const CButtonState& b) override { return log("exited", p, b); }
  bool onWheel(const CPoint& p, const CMouseWheelAxis&, const float& d, const CButtonState& b) override {
    char line[96];
    std::snprintf(line, sizeof line, "wheel %g,%g %g 0x%x", p.x, p.y, d, static_cast<unsigned>(b));
    events_.push_back(line);
    return true;
  }
  CColor color{255, 0, 0, 255};

 private:
  CMouseEventResult log(const char* what, const CPoint& p, CButtonState b) {
    char line[96];
    std::snprintf(line, sizeof line, "%s %g,%g 0x%x", what, p.x, p.y, static_cast<unsigned>(b));
    events_.push_back(line);
    return kMouseEventHandled;
  }
  Lines& events_;
};

class X11Frame : public ::testing::Test {
 protected:
  Display* display = nullptr;
  ::Window parent = 0;
  CFrame* frame = nullptr;
  FillView* view = nullptr;
  Lines events;

  void SetUp() override {
    display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display: run under xvfb-run (package xvfb)";
    platform::usePlatformBackend();
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 500, 480, 0, 0, 0);
    XSelectInput(display, parent, ButtonPressMask | ButtonReleaseMask);
    XMapWindow(display, parent);
    XSync(display, False);
  }
  void TearDown() override {
    if (frame) frame->forget();
    if (display) {
      XDestroyWindow(display, parent);
      XCloseDisplay(display);
    }
    platform::setActiveBackend(nullptr);
  }

  void open() {
    frame = new CFrame(CRect(0, 0, 500, 480), reinterpret_cast<void*>(parent), nullptr);
    view = new FillView(CRect(0, 0, 500, 480), events);
    frame->addView(view);
    pump();
  }
  ::Window child() const {
    return static_cast<::Window>(reinterpret_cast<uintptr_t>(frame->getPlatformWindow()->nativeHandle()));
  }
  void pump() {
    XSync(display, False);
    frame->idle();
    XSync(display, False);
  }
  unsigned long pixel(int x, int y) {
    XImage* image = XGetImage(display, child(), x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long p = XGetPixel(image, 0, 0) & 0xFFFFFF;
    XDestroyImage(image);
    return p;
  }
  void send(int type, unsigned int button, int x, int y, unsigned int state, Time time = CurrentTime) {
    XEvent e{};
    e.xbutton.type = type;
    e.xbutton.display = display;
    e.xbutton.window = child();
    e.xbutton.root = DefaultRootWindow(display);
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.state = state;
    e.xbutton.button = button;
    e.xbutton.time = time;
    e.xbutton.same_screen = True;
    XSendEvent(display, child(), False, 0, &e);
  }
  void motion(int x, int y, unsigned int state) {
    XEvent e{};
    e.xmotion.type = MotionNotify;
    e.xmotion.window = child();
    e.xmotion.x = x;
    e.xmotion.y = y;
    e.xmotion.state = state;
    XSendEvent(display, child(), False, 0, &e);
  }
};

TEST_F(X11Frame, TheChildWindowIsNamedAfterTheModuleAndCounted) {
  open();
  ASSERT_NE(frame->getPlatformWindow(), nullptr);
  EXPECT_EQ(CFrame::liveFrameCount(), 1);
  ::Window root = 0, up = 0, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(display, parent, &root, &up, &children, &count);
  ASSERT_EQ(count, 1u);
  EXPECT_EQ(children[0], child());
  XFree(children);
  char* name = nullptr;
  ASSERT_TRUE(XFetchName(display, child(), &name));
  EXPECT_EQ(std::string(name).rfind("Plugin0x", 0), 0u) << name;
  EXPECT_STREQ(name, CFrame::windowClassName());
  XFree(name);
  XWindowAttributes a{};
  XGetWindowAttributes(display, child(), &a);
  EXPECT_EQ(a.width, 500);
  EXPECT_EQ(a.height, 480);

  frame->forget();
  frame = nullptr;
  XSync(display, False);
  XQueryTree(display, parent, &root, &up, &children, &count);
  EXPECT_EQ(count, 0u);
  if (children) XFree(children);
  EXPECT_EQ(CFrame::liveFrameCount(), 0);
}

TEST_F(X11Frame, PaintsArriveThroughTheBackBufferOnInvalidation) {
  open();
  EXPECT_EQ(pixel(10, 10), 0xFF0000u);
  EXPECT_EQ(pixel(499, 479), 0xFF0000u);
  EXPECT_NE(frame->getBackBuffer(), nullptr);
  view->color = CColor{0, 0, 255, 255};
  view->invalidRect(CRect(0, 0, 100, 100));
  pump();
  EXPECT_EQ(pixel(50, 50), 0x0000FFu);
  EXPECT_EQ(pixel(150, 150), 0xFF0000u);  // outside the invalidated area
}

TEST_F(X11Frame, ButtonSetsFollowTheFramesBits) {
  open();
  events.clear();
  send(ButtonPress, Button1, 10, 20, ShiftMask, 1000);
  motion(15, 25, Button1Mask | ShiftMask);
  pump();
  motion(-40, 700, Button1Mask);  // a drag outside keeps reaching the view
  send(ButtonRelease, Button1, -40, 700, Button1Mask, 1100);
  send(ButtonPress, Button3, 30, 30, ControlMask | Mod1Mask, 5000);
  send(ButtonRelease, Button3, 30, 30, Button3Mask | ControlMask | Mod1Mask, 5050);
  send(ButtonPress, Button2, 30, 30, 0, 9000);
  send(ButtonRelease, Button2, 30, 30, Button2Mask, 9050);
  send(ButtonPress, 8, 30, 30, 0, 12000);
  send(ButtonRelease, 8, 30, 30, 0, 12050);
  send(ButtonPress, 9, 30, 30, 0, 15000);
  send(ButtonRelease, 9, 30, 30, 0, 15050);
  pump();
  EXPECT_EQ(events, (Lines{"down 10,20 0x12", "moved 15,25 0x12", "moved -40,700 0x2", "up -40,700 0x0",
                           "down 30,30 0x68", "up 30,30 0x60", "down 30,30 0x4", "up 30,30 0x0",
                           "down 30,30 0x100", "up 30,30 0x0", "down 30,30 0x200", "up 30,30 0x0"}));
}

TEST_F(X11Frame, DoubleClicksNeedTheSameButtonSoonAndClose) {
  open();
  events.clear();
  send(ButtonPress, Button1, 10, 10, 0, 1000);
  send(ButtonRelease, Button1, 10, 10, Button1Mask, 1050);
  send(ButtonPress, Button1, 11, 12, 0, 1300);  // double click
  send(ButtonRelease, Button1, 11, 12, Button1Mask, 1350);
  send(ButtonPress, Button1, 11, 12, 0, 1400);  // a third press starts anew
  send(ButtonRelease, Button1, 11, 12, Button1Mask, 1450);
  send(ButtonPress, Button1, 11, 12, 0, 2100);  // too late
  send(ButtonRelease, Button1, 11, 12, Button1Mask, 2150);
  send(ButtonPress, Button1, 20, 12, 0, 2200);  // too far
  send(ButtonRelease, Button1, 20, 12, Button1Mask, 2250);
  send(ButtonPress, Button3, 20, 12, 0, 2300);  // another button
  pump();
  Lines downs;
  for (const auto& e : events)
    if (e.rfind("down", 0) == 0) downs.push_back(e);
  EXPECT_EQ(downs, (Lines{"down 10,10 0x2", "down 11,12 0x402", "down 11,12 0x2", "down 11,12 0x2",
                          "down 20,12 0x2", "down 20,12 0x8"}));
}

TEST_F(X11Frame, TheWheelMovesOneStepPerNotchAndAlsoReachesTheHost) {
  open();
  events.clear();
  send(ButtonPress, Button4, 40, 50, ShiftMask | Button1Mask);
  send(ButtonRelease, Button4, 40, 50, ShiftMask);
  send(ButtonPress, Button5, 40, 50, 0);
  send(ButtonRelease, Button5, 40, 50, 0);
  pump();
  EXPECT_EQ(events, (Lines{"wheel 40,50 1 0x10", "wheel 40,50 -1 0x0"}));
  XEvent e;
  int forwarded = 0;
  while (XCheckWindowEvent(display, parent, ButtonPressMask | ButtonReleaseMask, &e)) ++forwarded;
  EXPECT_EQ(forwarded, 4);
}

TEST_F(X11Frame, LeavingTheWindowEndsTheHover) {
  open();
  events.clear();
  motion(5, 5, 0);
  pump();
  motion(6, 5, 0);
  motion(7, 5, 0);
  motion(8, 5, 0);  // a run of moves is delivered as its newest
  XEvent e{};
  e.xcrossing.type = LeaveNotify;
  e.xcrossing.window = child();
  e.xcrossing.x = 600;
  e.xcrossing.y = 5;
  e.xcrossing.mode = NotifyNormal;
  e.xcrossing.detail = NotifyAncestor;
  XSendEvent(display, child(), False, 0, &e);
  pump();
  EXPECT_EQ(events, (Lines{"entered 5,5 0x0", "moved 8,5 0x0", "exited 600,5 0x0"}));
  EXPECT_EQ(frame->getMouseOverView(), nullptr);
}

TEST_F(X11Frame, AParentThatIsNotAWindowGivesAFrameWithoutWindow) {
  auto* orphan = new CFrame(CRect(0, 0, 500, 480), reinterpret_cast<void*>(uintptr_t{0x7ffffff}), nullptr);
  EXPECT_EQ(orphan->getPlatformWindow(), nullptr);
  orphan->idle();
  orphan->forget();
  EXPECT_EQ(CFrame::liveFrameCount(), 0);
}

TEST_F(X11Frame, AHostWindowDestroyedFirstClosesTheFrameQuietly) {
  open();
  XDestroyWindow(display, parent);
  parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 10, 10, 0, 0, 0);  // for TearDown
  pump();
  EXPECT_FALSE(frame->isOpen());
  view->invalid();
  frame->idle();
  frame->forget();  // must not touch the dead window
  frame = nullptr;
}

TEST_F(X11Frame, SeveralFramesLiveSideBySide) {
  open();
  auto* second = new CFrame(CRect(0, 0, 200, 100), reinterpret_cast<void*>(parent), nullptr);
  EXPECT_EQ(CFrame::liveFrameCount(), 2);
  second->idle();
  second->forget();
  EXPECT_EQ(CFrame::liveFrameCount(), 1);
  pump();
  EXPECT_EQ(pixel(10, 10), 0xFF0000u);
}

}  // namespace
