// The frame's X11 window between idles: exposed parts get the last picture
// back without an idle and without running any view's drawing elsewhere,
// input waits in order for the next idle, and many opens and closes leave
// no thread, connection or window behind. Needs an X display (run under
// Xvfb); without one every test is skipped.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "gui/cdraw_context.h"
#include "gui/cframe.h"
#include "gui/platform/platform_backend.h"

// Xlib's macros (None, Bool, …) must come after every C++ header.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace VSTGUI;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

namespace {

class PaintedView : public CView {
 public:
  PaintedView(const CRect& r, Lines& events) : CView(r), events_(events) {}
  void draw(CDrawContext* context) override {
    drawThreads.push_back(std::this_thread::get_id());
    context->setFillColor(color);
    context->drawRect(getViewSize(), kDrawFilled);
  }
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override { return log("down", p, b); }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override { return log("up", p, b); }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override { return log("moved", p, b); }
  CColor color{255, 0, 0, 255};
  std::vector<std::thread::id> drawThreads;

 private:
  CMouseEventResult log(const char* what, const CPoint& p, CButtonState b) {
    char line[96];
    std::snprintf(line, sizeof line, "%s %g,%g 0x%x", what, p.x, p.y, static_cast<unsigned>(b));
    events_.push_back(line);
    return kMouseEventHandled;
  }
  Lines& events_;
};

size_t entries(const char* folder) {
  size_t count = 0;
  if (DIR* dir = opendir(folder)) {
    while (readdir(dir)) ++count;
    closedir(dir);
  }
  return count;
}

class X11Between : public ::testing::Test {
 protected:
  Display* display = nullptr;
  ::Window parent = 0;
  CFrame* frame = nullptr;
  PaintedView* view = nullptr;
  Lines events;

  void SetUp() override {
    display = XOpenDisplay(nullptr);
    if (!display) GTEST_SKIP() << "no X display: run under xvfb-run (package xvfb)";
    platform::usePlatformBackend();
    parent = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 200, 0, 0, 0);
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
    frame = new CFrame(CRect(0, 0, 300, 200), reinterpret_cast<void*>(parent), nullptr);
    view = new PaintedView(CRect(0, 0, 300, 200), events);
    frame->addView(view);
    pump();
  }
  void close() {
    frame->forget();
    frame = nullptr;
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
  // Milliseconds until the pixel shows the colour, or -1 after a second.
  double waitFor(int x, int y, unsigned long colour) {
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(1)) {
      if (pixel(x, y) == colour)
        return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return -1;
  }
  // A green window over part of the frame's, shown and taken away again.
  void coverAndUncover(int x, int y, unsigned width, unsigned height) {
    ::Window cover = XCreateSimpleWindow(display, parent, x, y, width, height, 0, 0, 0x00FF00);
    XMapRaised(display, cover);
    XSync(display, False);
    XDestroyWindow(display, cover);
    XSync(display, False);
  }
  void button(int type, unsigned int number, int x, int y, unsigned int state, Time time) {
    XEvent e{};
    e.xbutton.type = type;
    e.xbutton.window = child();
    e.xbutton.x = x;
    e.xbutton.y = y;
    e.xbutton.state = state;
    e.xbutton.button = number;
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

TEST_F(X11Between, ExposedPartsShowTheLastPictureWithoutAnIdle) {
  open();
  view->color = CColor{0, 0, 255, 255};
  view->invalid();
  pump();
  ASSERT_EQ(pixel(50, 50), 0x0000FFu);
  const size_t draws = view->drawThreads.size();

  // From here on no idle: only the window's own reader can answer.
  coverAndUncover(20, 20, 100, 100);
  const double uncovered = waitFor(50, 50, 0x0000FF);
  EXPECT_GE(uncovered, 0) << "the uncovered part still shows 0x" << std::hex << pixel(50, 50);
  EXPECT_EQ(pixel(10, 10), 0x0000FFu);
  XClearArea(display, child(), 0, 0, 0, 0, True);
  XSync(display, False);
  const double cleared = waitFor(299, 199, 0x0000FF);
  EXPECT_GE(cleared, 0);
  EXPECT_EQ(pixel(0, 0), 0x0000FFu);
  std::printf("restored after %.1f ms (uncover) and %.1f ms (clear)\n", uncovered, cleared);

  // The restore copies pixels; the views were not drawn again, and every
  // drawing ran on the editor's thread.
  EXPECT_EQ(view->drawThreads.size(), draws);
  for (const auto& id : view->drawThreads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(X11Between, InputWithoutIdleIsAllDeliveredInOrderAtTheNextIdle) {
  open();
  events.clear();
  Lines expected;
  char line[96];
  for (int i = 0; i < 200; ++i) {
    const int x = 1 + i % 250;
    const Time time = 1000 + static_cast<Time>(i) * 1000;  // too far apart for double clicks
    button(ButtonPress, Button1, x, 10, 0, time);
    motion(x, 30, Button1Mask);
    motion(x, 40, Button1Mask);  // a run of moves arrives as its newest
    button(ButtonRelease, Button1, x, 40, Button1Mask, time + 50);
    std::snprintf(line, sizeof line, "down %d,10 0x2", x);
    expected.push_back(line);
    std::snprintf(line, sizeof line, "moved %d,40 0x2", x);
    expected.push_back(line);
    std::snprintf(line, sizeof line, "up %d,40 0x0", x);
    expected.push_back(line);
    if (i == 100) coverAndUncover(0, 0, 50, 50);  // exposures in between
  }
  XSync(display, False);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_TRUE(events.empty());  // nothing reaches the frame between idles
  pump();
  EXPECT_EQ(events, expected);
  for (const auto& id : view->drawThreads) EXPECT_EQ(id, std::this_thread::get_id());
}

TEST_F(X11Between, FiftyOpensAndClosesLeaveNoThreadConnectionOrWindow) {
  open();
  close();
  const size_t files = entries("/proc/self/fd");
  const size_t threads = entries("/proc/self/task");
  for (int i = 0; i < 50; ++i) {
    open();
    ASSERT_NE(frame->getPlatformWindow(), nullptr) << "open " << i;
    // Closing while the reader has exposures and input to handle.
    XClearArea(display, child(), 0, 0, 0, 0, True);
    button(ButtonPress, Button1, 5, 5, 0, CurrentTime);
    XSync(display, False);
    if (i % 2) frame->idle();
    close();
  }
  XSync(display, False);
  EXPECT_EQ(entries("/proc/self/fd"), files);
  EXPECT_EQ(entries("/proc/self/task"), threads);
  ::Window root = 0, up = 0, *children = nullptr;
  unsigned int count = 0;
  XQueryTree(display, parent, &root, &up, &children, &count);
  EXPECT_EQ(count, 0u);
  if (children) XFree(children);
  EXPECT_EQ(CFrame::liveFrameCount(), 0);
}

}  // namespace
