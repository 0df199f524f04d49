#include "gui/platform/x11/x11_error_trap.h"

#include <atomic>
#include <mutex>

namespace VSTGUI::platform::x11 {

// One connection with traps open: the handler finds it without a lock, as
// it may run on any thread that reads a connection.
struct Slot {
  std::atomic<Display*> display{nullptr};
  std::atomic<int> depth{0};  // traps open on it (nested on one thread)
  std::atomic<unsigned> errors{0};
};

namespace {

constexpr int kSlots = 64;
Slot gSlots[kSlots];
std::atomic<XErrorHandler> gPrevious{nullptr};
std::once_flag gInstalled;

Slot* find(Display* display) {
  for (Slot& slot : gSlots) {
    if (slot.display.load(std::memory_order_acquire) == display) return &slot;
  }
  return nullptr;
}

int trapError(Display* display, XErrorEvent* error) {
  if (Slot* slot = find(display)) {
    slot->errors.fetch_add(1, std::memory_order_relaxed);
    return 0;
  }
  const XErrorHandler previous = gPrevious.load(std::memory_order_acquire);
  return previous ? previous(display, error) : 0;
}

}  // namespace

void installErrorHandler() {
  std::call_once(gInstalled, [] { gPrevious.store(XSetErrorHandler(trapError), std::memory_order_release); });
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), slot_(find(display)) {
  installErrorHandler();
  if (slot_ == nullptr) {
    // A connection is used by one thread at a time, so no other trap can
    // claim a slot for it meanwhile.
    for (Slot& slot : gSlots) {
      Display* empty = nullptr;
      if (slot.display.compare_exchange_strong(empty, display, std::memory_order_acq_rel)) {
        slot_ = &slot;
        break;
      }
    }
  }
  if (slot_ != nullptr) {
    slot_->depth.fetch_add(1, std::memory_order_relaxed);
    start_ = slot_->errors.load(std::memory_order_relaxed);
  }
}

ErrorTrap::~ErrorTrap() {
  XSync(display_, False);
  if (slot_ != nullptr && slot_->depth.fetch_sub(1, std::memory_order_acq_rel) == 1) {
    slot_->display.store(nullptr, std::memory_order_release);
  }
}

bool ErrorTrap::failed() {
  XSync(display_, False);
  return slot_ != nullptr && slot_->errors.load(std::memory_order_relaxed) != start_;
}

}  // namespace VSTGUI::platform::x11
