// ClapChunkMailbox: one state chunk handed from the main thread to the audio
// thread without a lock. The last chunk posted wins: a post overwrites one
// the audio thread has not taken yet. The audio thread never waits (a chunk
// being written is taken at a later block); the main thread waits at most
// for the audio thread's copy of one chunk.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

class ClapChunkMailbox {
 public:
  static constexpr std::size_t kChunkBytes = 65 * 4;

  // [main] Posts a chunk of kChunkBytes with its number.
  void Post(const std::uint8_t* chunk, std::uint32_t sequence);
  // [audio] Copies the posted chunk into `out` and empties the box; false
  // when nothing is there (or a post is under way).
  bool Take(std::array<std::uint8_t, kChunkBytes>& out, std::uint32_t& sequence);
  // [any] Whether a chunk waits for the audio thread.
  bool Full() const { return state_.load(std::memory_order_acquire) == kFull; }

 private:
  enum State : std::uint32_t { kEmpty, kWriting, kFull, kReading };
  std::atomic<std::uint32_t> state_{kEmpty};
  std::array<std::uint8_t, kChunkBytes> chunk_{};
  std::uint32_t sequence_ = 0;
};
