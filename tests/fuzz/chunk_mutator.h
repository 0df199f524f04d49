// A mutator that keeps a state chunk a chunk: the marker stays in front
// (mostly), and any slot can receive a value that breaks arithmetic or lies
// just outside its slider's range. Byte-level mutations still run in a
// quarter of the cases, so damaged markers and odd sizes are tried too.
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

inline constexpr std::size_t kChunkFloats = 65;  // marker, then slots 1 … 64
inline constexpr std::size_t kChunkBytes = kChunkFloats * 4;

// Rewrites data[0 … size) in place (room for maxSize bytes); answers the
// new size. `seed` decides every choice.
std::size_t MutateChunk(std::uint8_t* data, std::size_t size, std::size_t maxSize, unsigned seed);

// A value for slot `slot` chosen by `pick`: special floats, the edges of the
// slot's slider range and the values just beyond them.
float SlotValue(std::size_t slot, std::uint32_t pick);

}  // namespace fuzz
