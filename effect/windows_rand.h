// The pseudo-random sequence of the Windows C runtime's rand(), kept per
// effect object: values 0 … 32767, the same on every platform, and no state
// shared between instances running on different threads.
#pragma once

#include <cstdint>

class WindowsRand {
 public:
  static constexpr int kMax = 32767;

  void Seed(std::uint32_t seed) { state_ = seed; }
  int Next() {
    state_ = state_ * 214013u + 2531011u;  // modulo 2^32
    return static_cast<int>((state_ >> 16) & 0x7FFFu);
  }

 private:
  std::uint32_t state_ = 1;
};
