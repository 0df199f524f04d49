#include "tests/fuzz/chunk_mutator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

#include "runtime/morvox_files.h"
#include "tests/fuzz/fuzz_plugin.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace fuzz {

float SlotValue(std::size_t slot, std::uint32_t pick) {
  const SlotRange& r = SlotRanges()[std::min<std::size_t>(slot, 64)];
  if (!r.declared || pick % 3 == 0) return Special(pick / 3);
  const double span = r.maximum - r.minimum;
  const double step = r.step > 0 ? r.step : span / 100;
  const double edges[] = {r.minimum,
                          r.maximum,
                          r.minimum - step,
                          r.maximum + step,
                          std::nextafter(r.minimum, -1e300),
                          std::nextafter(r.maximum, 1e300),
                          r.minimum - span,
                          r.maximum + span,
                          r.minimum + step / 2,
                          r.maximum * 1e6 + 1,
                          -(r.maximum * 1e6 + 1)};
  return static_cast<float>(edges[(pick / 3) % (sizeof edges / sizeof edges[0])]);
}

std::size_t MutateChunk(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned seed) {
  std::minstd_rand rng(seed);
  if (size < 4 || rng() % 4 == 0) size = LLVMFuzzerMutate(data, size, maxSize);
  // Most inputs stay chunk-sized so the values reach the slots.
  if (rng() % 8 != 0 && maxSize >= kChunkBytes && size != kChunkBytes) {
    if (size < kChunkBytes) std::memset(data + size, 0, kChunkBytes - size);
    size = kChunkBytes;
  }
  if (size >= 4 && rng() % 16 != 0) std::memcpy(data, &kChunkMarker, 4);
  const std::size_t slots = size / 4;
  if (slots < 2) return size;
  for (unsigned n = 1 + static_cast<unsigned>(rng() % 3); n > 0; --n) {
    const std::size_t slot = 1 + static_cast<std::size_t>(rng()) % (slots - 1);
    const float value = SlotValue(slot, static_cast<std::uint32_t>(rng()));
    std::memcpy(data + 4 * slot, &value, 4);
  }
  return size;
}

}  // namespace fuzz
