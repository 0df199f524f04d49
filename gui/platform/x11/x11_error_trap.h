#pragma once
#include <X11/Xlib.h>

namespace VSTGUI::platform::x11 {

// X errors on our connections (for example a host window that is already
// gone) must not reach the default handler, which ends the process. Xlib
// has one error handler for the whole process, and the host may have set
// one. Ours is installed while anything of ours uses it (a window, a trap)
// and taken out again when the last use ends, so that nothing of the
// process points into this module once its windows are gone and the host
// may unload it. It counts the errors of connections that have a trap open
// and hands every other error to the handler that was there before it. A
// trap catches the errors of a burst of requests on one connection; traps
// on different connections and threads run at once.
//
// A handler the host installs after ours is never replaced: when our last
// use ends while it is current, it stays, and as it may hand errors on to
// ours (its "previous"), this module then stays loaded for the rest of the
// process instead of leaving the host a pointer into unmapped code.
class ErrorHandlerUse {
 public:
  ErrorHandlerUse();
  ~ErrorHandlerUse();
  ErrorHandlerUse(const ErrorHandlerUse&) = delete;
  ErrorHandlerUse& operator=(const ErrorHandlerUse&) = delete;
};

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
  ErrorHandlerUse use_;  // first made, last gone: the handler outlasts the trap's requests
  Display* display_;
  struct Slot* slot_;  // null when every slot is taken: errors then go on to the previous handler
  unsigned start_ = 0;
};

}  // namespace VSTGUI::platform::x11
