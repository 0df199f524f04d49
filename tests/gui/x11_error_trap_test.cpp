// The process's X error handler: ours is there while something of ours
// uses it and the host's is back once the last use ends; ours stays put
// whatever traps run on whatever thread, a handler the host installs later
// is never replaced, errors of a trapped connection are counted there, and
// errors of the host's connections reach the handler that came before ours,
// also through a host handler that calls ours as its previous one.
// Its own program, the cases in order: the order of handlers is the
// process's.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <atomic>
#include <cstdlib>
#include <thread>

#include "gui/platform/x11/x11_error_trap.h"

namespace {

using VSTGUI::platform::x11::ErrorHandlerUse;
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

std::atomic<int> gFirstErrors{0};
int FirstHandler(Display*, XErrorEvent*) {
  ++gFirstErrors;
  return 0;
}

TEST(X11ErrorTrap, TheHostsHandlerIsBackOnceTheLastUseEnds) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  XSetErrorHandler(FirstHandler);
  {
    ErrorHandlerUse window;
    {
      ErrorTrap trap(host);  // nested uses, the last one on another thread
      std::thread([] { ErrorHandlerUse reader; }).join();
      Fail(host);
      EXPECT_TRUE(trap.failed());
    }
    EXPECT_EQ(gFirstErrors.load(), 0) << "the trap caught it";
    Fail(host);
    XSync(host, False);
    EXPECT_EQ(gFirstErrors.load(), 1) << "untrapped, it went on to the host's handler";
    XErrorHandler current = XSetErrorHandler(FirstHandler);
    EXPECT_NE(current, &FirstHandler) << "ours is current while in use";
    XSetErrorHandler(current);
  }
  EXPECT_EQ(XSetErrorHandler(FirstHandler), &FirstHandler) << "the last use put the host's back";
  Fail(host);
  XSync(host, False);
  EXPECT_EQ(gFirstErrors.load(), 2);
  XCloseDisplay(host);
}

TEST(X11ErrorTrap, OneHandlerForTheProcessThatChainsAndNeverReplacesTheHosts) {
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

// A host handler installed above ours that hands errors on to ours, as
// toolkits do: once our last use ends it stays current, and errors go
// through it and ours to the handler below, each once, also after ours is
// installed again above it.
XErrorHandler gBeneathChained = nullptr;
std::atomic<int> gChainedErrors{0};
int ChainedHandler(Display* display, XErrorEvent* error) {
  ++gChainedErrors;
  return gBeneathChained(display, error);
}

TEST(X11ErrorTrap, AHandlerThatCallsOursAfterOurLastUseReachesTheOneBelow) {
  if (std::getenv("DISPLAY") == nullptr) GTEST_SKIP() << "no display";
  Display* host = XOpenDisplay(nullptr);
  ASSERT_NE(host, nullptr);
  XSetErrorHandler(FirstHandler);
  const int first = gFirstErrors.load();
  {
    ErrorHandlerUse window;
    gBeneathChained = XSetErrorHandler(ChainedHandler);  // ours
  }
  EXPECT_EQ(XSetErrorHandler(ChainedHandler), &ChainedHandler) << "the host's stays current";
  Fail(host);
  XSync(host, False);
  EXPECT_EQ(gChainedErrors.load(), 1);
  EXPECT_EQ(gFirstErrors.load(), first + 1) << "through ours to the one below";

  {
    ErrorHandlerUse again;  // ours above the host's, which calls ours
    Fail(host);
    XSync(host, False);
    EXPECT_EQ(gChainedErrors.load(), 2);
    EXPECT_EQ(gFirstErrors.load(), first + 2) << "once, not round the loop";
    Display* ours = XOpenDisplay(nullptr);
    ASSERT_NE(ours, nullptr);
    {
      ErrorTrap trap(ours);
      Fail(ours);
      EXPECT_TRUE(trap.failed());
    }
    XCloseDisplay(ours);
    EXPECT_EQ(gChainedErrors.load(), 2) << "a trapped error stays ours";
  }
  EXPECT_EQ(XSetErrorHandler(ChainedHandler), &ChainedHandler);
  XCloseDisplay(host);
}

}  // namespace
