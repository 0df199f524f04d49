#include "gui/platform/x11/x11_error_trap.h"

#include <mutex>

namespace VSTGUI::platform::x11 {

namespace {

std::mutex gTrapLock;
// Written only while gTrapLock is held, read by the handler, which Xlib
// calls on the thread that holds the lock.
Display* gTrapDisplay = nullptr;
int gTrappedErrors = 0;
int (*gPrevious)(Display*, XErrorEvent*) = nullptr;

int trapError(Display* display, XErrorEvent* error) {
  if (display == gTrapDisplay) {
    ++gTrappedErrors;
    return 0;
  }
  return gPrevious ? gPrevious(display, error) : 0;
}

}  // namespace

ErrorTrap::ErrorTrap(Display* display) : display_(display) {
  gTrapLock.lock();
  gTrapDisplay = display;
  gTrappedErrors = 0;
  old_ = XSetErrorHandler(trapError);
  gPrevious = old_;
}

ErrorTrap::~ErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(old_);
  gPrevious = nullptr;
  gTrapDisplay = nullptr;
  gTrapLock.unlock();
}

bool ErrorTrap::failed() {
  XSync(display_, False);
  return gTrappedErrors != 0;
}

}  // namespace VSTGUI::platform::x11
