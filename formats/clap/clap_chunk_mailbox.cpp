#include "formats/clap/clap_chunk_mailbox.h"

#include <cstring>
#include <thread>

void ClapChunkMailbox::Post(const std::uint8_t* chunk, std::uint32_t sequence) {
  for (;;) {
    std::uint32_t seen = state_.load(std::memory_order_acquire);
    // While the audio thread copies the old chunk, wait for it to finish.
    if (seen == kReading) {
      std::this_thread::yield();
      continue;
    }
    if (state_.compare_exchange_weak(seen, kWriting, std::memory_order_acquire)) break;
  }
  std::memcpy(chunk_.data(), chunk, kChunkBytes);
  sequence_ = sequence;
  state_.store(kFull, std::memory_order_release);
}

bool ClapChunkMailbox::Take(std::array<std::uint8_t, kChunkBytes>& out, std::uint32_t& sequence) {
  std::uint32_t expected = kFull;
  if (!state_.compare_exchange_strong(expected, kReading, std::memory_order_acquire)) return false;
  std::memcpy(out.data(), chunk_.data(), kChunkBytes);
  sequence = sequence_;
  state_.store(kEmpty, std::memory_order_release);
  return true;
}
