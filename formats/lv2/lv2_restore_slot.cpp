#include "formats/lv2/lv2_restore_slot.h"

#include <cstring>

void Lv2RestoreSlot::Write(const void* chunk) {
  Chunk words;
  std::memcpy(words.data(), chunk, sizeof words);
  const std::lock_guard<std::mutex> lock(writing_);
  const std::uint32_t count = count_.load(std::memory_order_relaxed);
  count_.store(count + 1, std::memory_order_relaxed);
  // Each word is a release store: a reader that sees it also sees the odd
  // count stored before it, so it knows the read was torn.
  for (std::size_t i = 0; i < kWords; ++i) words_[i].store(words[i], std::memory_order_release);
  count_.store(count + 2, std::memory_order_release);
}

bool Lv2RestoreSlot::TryRead(Chunk& chunk, std::uint32_t& count) const {
  const std::uint32_t before = count_.load(std::memory_order_acquire);
  if ((before & 1u) != 0) return false;
  // Acquire loads: the count read after them cannot be read before them.
  for (std::size_t i = 0; i < kWords; ++i) chunk[i] = words_[i].load(std::memory_order_acquire);
  if (count_.load(std::memory_order_relaxed) != before) return false;
  count = before;
  return true;
}
