#include "host/edit_session.h"

#include <csignal>
#include <cstdio>

namespace vornhost {

namespace {

volatile std::sig_atomic_t gInterrupted = 0;
extern "C" void OnInterrupt(int) {
  gInterrupted = 1;
}

}  // namespace

InterruptGuard::InterruptGuard() {
  gInterrupted = 0;
  oldInt_ = std::signal(SIGINT, OnInterrupt);
  oldTerm_ = std::signal(SIGTERM, OnInterrupt);
}

InterruptGuard::~InterruptGuard() {
  std::signal(SIGINT, oldInt_);
  std::signal(SIGTERM, oldTerm_);
}

bool InterruptGuard::Interrupted() {
  return gInterrupted != 0;
}

void PrintEditorReady(const std::string& name, int width, int height, const std::string& note,
                      bool runsUntilClosed) {
  std::printf("vornhost edit: \"%s\", %d x %d editor%s; %s\n", name.c_str(), width, height, note.c_str(),
              runsUntilClosed ? "close the window or press Ctrl-C to stop" : "running for a while");
  std::fflush(stdout);
}

}  // namespace vornhost
