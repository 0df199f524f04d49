#include "gui/platform/x11/x11_error_trap.h"

#include <dlfcn.h>

#include <algorithm>
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

// Installing and taking out happen under the lock; the handler reads the
// handlers it forwards to without it.
std::mutex gLock;
int gUses = 0;
// The handlers ours was installed over and has not put back, the latest
// first: an untrapped error goes on to the first. A host handler installed
// above ours may call ours as its previous one, also after ours is
// installed above it again: an error then enters ours a second time on the
// same thread, and goes on to the next one down (and never round a loop).
constexpr int kBeneath = 8;
std::atomic<XErrorHandler> gBeneath[kBeneath];
std::atomic<int> gBeneathCount{0};
bool gStaysLoaded = false;
thread_local int tDepth = 0;

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
  if (tDepth >= gBeneathCount.load(std::memory_order_acquire)) return 0;
  const XErrorHandler next = gBeneath[tDepth].load(std::memory_order_acquire);
  if (next == nullptr) return 0;
  ++tDepth;
  const int answer = next(display, error);
  --tDepth;
  return answer;
}

// Keeps this module mapped until the process ends: a handler of the host's
// may point into it.
void stayLoaded() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&trapError), &info) != 0 && info.dli_fname != nullptr) {
    // Never closed: the handle is what keeps the module.
    dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
}

}  // namespace

ErrorHandlerUse::ErrorHandlerUse() {
  std::lock_guard<std::mutex> lock(gLock);
  if (gUses++ > 0) return;
  // XSetErrorHandler answers the default handler rather than null.
  const XErrorHandler before = XSetErrorHandler(trapError);
  if (before == &trapError) return;  // a host put ours back as it removed its own
  int count = gBeneathCount.load(std::memory_order_relaxed);
  int at = 0;
  while (at < count && gBeneath[at].load(std::memory_order_relaxed) != before) ++at;
  if (at == count && count < kBeneath) ++count;
  for (int i = std::min(at, kBeneath - 1); i > 0; --i) {
    gBeneath[i].store(gBeneath[i - 1].load(std::memory_order_relaxed), std::memory_order_release);
  }
  gBeneath[0].store(before, std::memory_order_release);
  gBeneathCount.store(count, std::memory_order_release);
}

ErrorHandlerUse::~ErrorHandlerUse() {
  std::lock_guard<std::mutex> lock(gLock);
  if (--gUses > 0) return;
  const int count = gBeneathCount.load(std::memory_order_relaxed);
  const XErrorHandler previous = count > 0 ? gBeneath[0].load(std::memory_order_relaxed) : &trapError;
  const XErrorHandler current = XSetErrorHandler(previous);
  if (current == &trapError && previous != &trapError) {
    // Ours was current: the one below is back, and ours is out of the chain.
    for (int i = 0; i + 1 < count; ++i) {
      gBeneath[i].store(gBeneath[i + 1].load(std::memory_order_relaxed), std::memory_order_release);
    }
    gBeneathCount.store(count - 1, std::memory_order_release);
    return;
  }
  // A host's handler installed after ours stays current (and may hand
  // errors on to ours), or ours has nothing to give way to.
  XSetErrorHandler(current);
  if (!gStaysLoaded) {
    gStaysLoaded = true;
    stayLoaded();
  }
}

ErrorTrap::ErrorTrap(Display* display) : display_(display), slot_(find(display)) {
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
