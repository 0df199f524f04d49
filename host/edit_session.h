// What every `vornhost edit` shares, whatever the plug-in's format: Ctrl-C
// and termination armed before the window exists, and the one line a
// script driving the editor waits for.
#pragma once

#include <string>

namespace vornhost {

// While one lives, Ctrl-C and SIGTERM end the idle loop instead of the
// process, so the editor is closed and the plug-in shut down in order.
class InterruptGuard {
 public:
  InterruptGuard();
  ~InterruptGuard();
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;
  static bool Interrupted();

 private:
  void (*oldInt_)(int);
  void (*oldTerm_)(int);
};

// Once the editor shows and an InterruptGuard lives: `vornhost edit:
// "NAME", W x H editor<note>; ...` on stdout, flushed.
void PrintEditorReady(const std::string& name, int width, int height, const std::string& note,
                      bool runsUntilClosed);

}  // namespace vornhost
