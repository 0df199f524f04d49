// ClapUiEditQueue: the GUI's parameter edits on their way from the main
// thread to the thread that owns the sound (Process, or Flush). One
// producer, one consumer, a fixed ring: nothing allocates and nobody
// waits; an edit that finds the ring full is refused.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

#include "formats/clap/abi/core.h"

struct ClapUiEdit {
  enum Kind : std::uint8_t { kBegin, kValue, kEnd };
  Kind kind = kValue;
  clap_id param = 0;
  double value = 0;  // plain, in the parameter's own units (kValue only)
};

class ClapUiEditQueue {
 public:
  static constexpr std::uint32_t kCapacity = 256;  // a power of two

  bool Push(const ClapUiEdit& edit) {  // [main]
    const std::uint32_t head = head_.load(std::memory_order_relaxed);
    if (head - tail_.load(std::memory_order_acquire) >= kCapacity) return false;
    ring_[head & (kCapacity - 1)] = edit;
    head_.store(head + 1, std::memory_order_release);
    return true;
  }
  bool Pop(ClapUiEdit& edit) {  // [the sound's thread]
    const std::uint32_t tail = tail_.load(std::memory_order_relaxed);
    if (tail == head_.load(std::memory_order_acquire)) return false;
    edit = ring_[tail & (kCapacity - 1)];
    tail_.store(tail + 1, std::memory_order_release);
    return true;
  }
  bool Empty() const {
    return tail_.load(std::memory_order_acquire) == head_.load(std::memory_order_acquire);
  }

 private:
  std::array<ClapUiEdit, kCapacity> ring_{};
  std::atomic<std::uint32_t> head_{0};
  std::atomic<std::uint32_t> tail_{0};
};
