#pragma once
#include <X11/Xlib.h>

namespace VSTGUI::platform::x11 {

// X errors on our connections (for example a host window that is already
// gone) must not reach the default handler, which ends the process. Xlib
// has one error handler for the whole process, and the host may have set
// one: ours is installed once, by the first window made (on the editor's
// thread), and never swapped again. It counts the errors of connections
// that have a trap open and hands every other error to the handler that
// was there before it. A trap catches the errors of a burst of requests on
// one connection; traps on different connections and threads run at once.
void installErrorHandler();

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
  struct Slot* slot_;  // null when every slot is taken: errors then go on to the previous handler
  unsigned start_ = 0;
};

}  // namespace VSTGUI::platform::x11
