// vornhost reading a program file (".fxp") of any bytes into our plug-in:
// a clear refusal or a restored state, never a crash; a restored state
// still sounds finite, and the file vornhost writes from it reads back to
// the same file.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "formats/vst/entry_point.h"
#include "host/host_error.h"
#include "host/plugin_instance.h"
#include "host/state_file.h"
#include "runtime/morvox_files.h"
#include "tests/fuzz/chunk_mutator.h"
#include "tests/fuzz/fuzz_plugin.h"

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* data, std::size_t size, std::size_t maxSize);

namespace {

constexpr std::size_t kHeader = 56;  // through the program name
constexpr std::size_t kChunkAt = kHeader + 4;

AEffect* VSTCALLBACK Entry(audioMasterCallback host) {
  return CreatePluginInstance(host);
}

void PutBig(std::uint8_t* at, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (24 - 8 * i));
}

vornhost::PluginInstance& Instance() {
  static vornhost::PluginInstance plugin(vornhost::PluginModule::Linked(&Entry, "linked plug-in"));
  static bool ready = [] {
    plugin.Setup(44100, 512);
    plugin.Resume();
    return true;
  }();
  (void)ready;
  return plugin;
}

}  // namespace

// Keeps the file a file most of the time: magic, size field, our ID and the
// chunk's size field stay right, and the chunk's slots (little-endian
// floats) or the parameter list (big-endian) get special values.
extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* data, std::size_t size, std::size_t maxSize,
                                               unsigned seed) {
  std::minstd_rand rng(seed);
  if (size < kChunkAt || rng() % 3 == 0) size = LLVMFuzzerMutate(data, size, maxSize);
  if (size < kChunkAt || rng() % 10 == 0) return size;
  std::memcpy(data, "CcnK", 4);
  PutBig(data + 4, static_cast<std::uint32_t>(size - 8));
  std::memcpy(data + 16, "VRD2", 4);
  const bool chunk = rng() % 4 != 0;
  std::memcpy(data + 8, chunk ? "FPCh" : "FxCk", 4);
  if (chunk) {
    PutBig(data + kHeader, static_cast<std::uint32_t>(size - kChunkAt));
    const std::size_t slots = (size - kChunkAt) / 4;
    if (slots >= 1) std::memcpy(data + kChunkAt, &kChunkMarker, 4);
    for (unsigned n = 1 + static_cast<unsigned>(rng() % 3); slots >= 2 && n > 0; --n) {
      const std::size_t slot = 1 + static_cast<std::size_t>(rng()) % (slots - 1);
      const float value = fuzz::SlotValue(slot, static_cast<std::uint32_t>(rng()));
      std::memcpy(data + kChunkAt + 4 * slot, &value, 4);
    }
  } else {
    const std::size_t count = (size - kHeader) / 4;
    PutBig(data + 24, static_cast<std::uint32_t>(count));
    if (count > 0) {
      const float value = fuzz::Special(rng());
      std::uint32_t bits;
      std::memcpy(&bits, &value, 4);
      PutBig(data + kHeader + 4 * (rng() % count), bits);
    }
  }
  return size;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vornhost::PluginInstance& plugin = Instance();
  static const std::vector<char> initial = vornhost::EncodeState(plugin);
  vornhost::DecodeState(plugin, initial, "initial");

  const std::vector<char> image(data, data + size);
  try {
    vornhost::DecodeState(plugin, image, "input");
  } catch (const vornhost::HostError&) {
    return 0;  // refused with a reason: the state is the one before
  }
  static std::vector<float> left(512);
  static std::vector<float> right(512);
  for (std::size_t i = 0; i < left.size(); ++i) left[i] = right[i] = static_cast<float>(i % 32) / 64.0f;
  float* in[2] = {left.data(), right.data()};
  plugin.Process(in, in, 512);
  fuzz::Require(fuzz::AllFinite(left.data(), 512) && fuzz::AllFinite(right.data(), 512),
                "finite input gave non-finite output after a state file was read");

  const std::vector<char> written = vornhost::EncodeState(plugin);
  vornhost::DecodeState(plugin, written, "written");
  fuzz::Require(vornhost::EncodeState(plugin) == written, "a written state file did not read back the same");
  return 0;
}
