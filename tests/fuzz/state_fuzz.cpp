// effSetChunk with any bytes, then audio, then effGetChunk: the plug-in
// must not crash, must keep producing finite sound from finite input, and
// the chunk it gives back must restore the same state in a fresh instance.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "tests/fuzz/chunk_mutator.h"
#include "tests/fuzz/fuzz_plugin.h"

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned seed) {
  return fuzz::MutateChunk(data, size, maxSize, seed);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Two instances for the whole run (building one costs more than a run):
  // each input starts from the slider values a new instance has, restored
  // from its first chunk, and resumed.
  static fuzz::Plugin plugin;
  static fuzz::Plugin fresh;
  static const std::vector<char> initial = plugin.Chunk();
  plugin.Restore(initial);
  plugin.Resume();
  fresh.Restore(initial);
  fresh.Resume();

  std::vector<char> chunk(data, data + size);
  plugin.Restore(chunk);
  fuzz::RequireRecovers(plugin);
  fuzz::RequireRecovers(plugin, 300);

  const std::vector<char> saved = plugin.Chunk();
  fresh.Restore(saved);
  fuzz::Require(fresh.Chunk() == saved, "a chunk from effGetChunk did not restore the same chunk");
  fuzz::Require(fresh.Parameters() == plugin.Parameters(),
                "a chunk from effGetChunk did not restore the same parameter values");
  fuzz::RequireRecovers(fresh);
  return 0;
}
