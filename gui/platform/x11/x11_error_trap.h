#pragma once
#include <X11/Xlib.h>

namespace VSTGUI::platform::x11 {

// X errors on our connections (for example a host window that is already
// gone) must not reach the default handler, which ends the process. A trap
// catches them around a burst of requests on one connection. Xlib has one
// error handler for the whole process, so traps on any thread take turns
// through one lock; errors of other connections (the host's) still reach
// the handler that was installed before.
class ErrorTrap {
 public:
  explicit ErrorTrap(Display* display);
  // Waits for the server to answer everything sent in the trap.
  ~ErrorTrap();
  ErrorTrap(const ErrorTrap&) = delete;
  ErrorTrap& operator=(const ErrorTrap&) = delete;
  // Waits for the server to answer everything sent so far; true when any of
  // it failed.
  bool failed();

 private:
  Display* display_;
  int (*old_)(Display*, XErrorEvent*);
};

}  // namespace VSTGUI::platform::x11
