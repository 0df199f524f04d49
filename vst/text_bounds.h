// Bounded copies of text into buffers the host owns. Every text answer to the
// host goes through CopyBounded with one of the capacities below, so an
// over-long name can never run past the host's buffer.
#pragma once

#include <cstddef>

// Capacities in bytes, terminator included. Hosts pass buffers of at least
// these sizes for the matching dispatcher requests.
constexpr std::size_t kParamNameCapacity = 64;     // parameter name
constexpr std::size_t kParamLabelCapacity = 64;    // parameter unit label
constexpr std::size_t kParamDisplayCapacity = 64;  // parameter value text
constexpr std::size_t kVendorStringCapacity = 64;
constexpr std::size_t kProductStringCapacity = 64;
constexpr std::size_t kEffectNameCapacity = 32;
constexpr std::size_t kProgramNameCapacity = 24;
constexpr std::size_t kShellPluginNameCapacity = 64;
constexpr std::size_t kSpeakerNameCapacity = 64;

// Copies at most capacity - 1 characters of src into dst and terminates it.
// A null src writes the empty text; a null dst or a capacity of 0 writes
// nothing. Answers the number of characters copied.
inline std::size_t CopyBounded(char* dst, const char* src, std::size_t capacity) noexcept {
  if (dst == nullptr || capacity == 0) return 0;
  std::size_t n = 0;
  if (src != nullptr) {
    while (n + 1 < capacity && src[n] != '\0') {
      dst[n] = src[n];
      ++n;
    }
  }
  dst[n] = '\0';
  return n;
}

// Appends src to the terminated text in dst so that dst, terminator
// included, stays within capacity. Answers the new length.
inline std::size_t AppendBounded(char* dst, const char* src, std::size_t capacity) noexcept {
  if (dst == nullptr || capacity == 0) return 0;
  std::size_t used = 0;
  while (used + 1 < capacity && dst[used] != '\0') ++used;
  return used + CopyBounded(dst + used, src, capacity - used);
}
