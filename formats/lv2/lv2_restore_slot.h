// Lv2RestoreSlot: the last state chunk a restore handed over, for run() to
// take. A restore may come from any thread, beside run(); restores write
// the slot one at a time under their own lock, while run() and saves read
// it without one: a count, odd while a restore writes, tells a whole read
// from a torn one, and its even values name the restores in order.
#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>

class Lv2RestoreSlot {
 public:
  static constexpr std::size_t kWords = 65;  // the chunk's floats, as bits
  using Chunk = std::array<std::uint32_t, kWords>;

  // [restore] `chunk`: kWords × 4 bytes.
  void Write(const void* chunk);
  // [any thread] The count of the last restore: 0 before any; odd while
  // one is being written.
  std::uint32_t Count() const { return count_.load(std::memory_order_acquire); }
  // [any thread] One try, no waiting: true with the chunk and its count
  // when no write overlapped the read.
  bool TryRead(Chunk& chunk, std::uint32_t& count) const;

 private:
  std::mutex writing_;
  std::atomic<std::uint32_t> count_{0};
  std::array<std::atomic<std::uint32_t>, kWords> words_{};
};
