// Real pointer input through the XTest extension: a press grabs the
// pointer for the frame's window, so a drag that leaves the window keeps
// reaching the pressed view, and the release outside ends it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/cframe.h"
#include "gui/platform/platform_backend.h"

// Xlib's macros (None, Bool, …) must come after every C++ header.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

using namespace VSTGUI;

namespace {

class DragProbe : public CView {
 public:
  explicit DragProbe(std::vector<std::string>& log) : CView(CRect(0, 0, 300, 200)), log_(log) {}
  CMouseEventResult onMouseDown(CPoint& p, const CButtonState& b) override { return note("down", p, b); }
  CMouseEventResult onMouseMoved(CPoint& p, const CButtonState& b) override { return note("moved", p, b); }
  CMouseEventResult onMouseUp(CPoint& p, const CButtonState& b) override { return note("up", p, b); }

 private:
  CMouseEventResult note(const char* what, const CPoint& p, CButtonState b) {
    log_.push_back(std::string(what) + " " + std::to_string(static_cast<int>(p.x)) + "," +
                   std::to_string(static_cast<int>(p.y)) + " " + std::to_string(b));
    return kMouseEventHandled;
  }
  std::vector<std::string>& log_;
};

TEST(X11Capture, ADragOutsideTheWindowKeepsReachingThePressedView) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) GTEST_SKIP() << "no X display: run under xvfb-run (package xvfb)";
  int event = 0, error = 0, major = 0, minor = 0;
  if (!XTestQueryExtension(display, &event, &error, &major, &minor)) {
    XCloseDisplay(display);
    GTEST_SKIP() << "no XTest extension";
  }
  platform::usePlatformBackend();
  ::Window host = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 300, 200, 0, 0, 0);
  XMapWindow(display, host);
  XSync(display, False);

  std::vector<std::string> log;
  auto* frame = new CFrame(CRect(0, 0, 300, 200), reinterpret_cast<void*>(host), nullptr);
  frame->addView(new DragProbe(log));
  XSync(display, False);
  frame->idle();

  auto settle = [&] {
    XSync(display, False);
    frame->idle();
  };
  XTestFakeMotionEvent(display, -1, 50, 60, CurrentTime);
  settle();
  XTestFakeButtonEvent(display, 1, True, CurrentTime);
  settle();
  XTestFakeMotionEvent(display, -1, 700, 500, CurrentTime);  // far outside the window
  settle();
  XTestFakeButtonEvent(display, 1, False, CurrentTime);
  settle();

  std::vector<std::string> drag;
  for (const auto& line : log)
    if (line.rfind("down", 0) == 0 || line.rfind("up", 0) == 0 || line.find("700,500") != std::string::npos)
      drag.push_back(line);
  EXPECT_EQ(drag, (std::vector<std::string>{"down 50,60 2", "moved 700,500 2", "up 700,500 0"}));

  frame->forget();
  XDestroyWindow(display, host);
  XCloseDisplay(display);
  platform::setActiveBackend(nullptr);
}

}  // namespace
