// The process's X error handler: ours is installed once and stays put
// whatever traps run on whatever thread, a handler the host installs later
// is never replaced, errors of a trapped connection are counted there, and
// errors of the host's connections reach the handler that came before ours.
// Its own program: the order of handlers is the process's.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "gui/platform/x11/x11_error_trap.h"

namespace {

using VSTGUI::platform::x11::ErrorTrap;

std::atomic<int> gHostErrors{0};
int HostHandler(Display*, XErrorEvent*) {
  ++gHostErrors;
  return 0;
}
int LaterHostHandler(Display*, XErrorEvent*) {
  return 0;
}

// A request that fails: the attributes of a window that does not exist.
void Fail(Display* display) {
  XWindowAttributes attributes{};
  XGetWindowAttributes(display, static_cast<::Window>(0x7ffffff0), &attributes);
}

TEST(X11ErrorTrap, OneHandlerForTheProcessThatChainsAndIsNeverSwapped) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  Display* host = XOpenDisplay(nullptr);
  Display* ours = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  ASSERT_NE(ours, nullptr);
  XSetErrorHandler(HostHandler);  // the host's, before any of ours

  {
    ErrorTrap trap(ours);
    Fail(ours);
    EXPECT_TRUE(trap.failed());
  }
  EXPECT_EQ(gHostErrors.load(), 0) << "our error stayed in our trap";
  Fail(host);
  XSync(host, False);
  EXPECT_EQ(gHostErrors.load(), 1) << "the host's error reached the host's handler";

  // Traps on a reader thread while the host's connection fails on this one.
  std::thread reader([] {
    Display* own = XOpenDisplay(nullptr);
    ASSERT_NE(own, nullptr);
    for (int i = 0; i < 300; ++i) {
      ErrorTrap trap(own);
      Fail(own);
      EXPECT_TRUE(trap.failed());
    }
    XCloseDisplay(own);
  });
  for (int i = 0; i < 100; ++i) {
    Fail(host);
    XSync(host, False);
  }
  reader.join();
  EXPECT_EQ(gHostErrors.load(), 101) << "every host error reached it, and only those";

  // The host installs a handler of its own while a trap is open: it stays.
  {
    ErrorTrap trap(ours);
    XSetErrorHandler(LaterHostHandler);
  }
  EXPECT_EQ(XSetErrorHandler(LaterHostHandler), &LaterHostHandler) << "no trap swapped the handler";
  XCloseDisplay(host);
  XCloseDisplay(ours);
}

}  // namespace
