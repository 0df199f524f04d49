// One plug-in instance for the fuzz targets: built through the function the
// exported entry points call, driven through its AEffect record as a host
// drives it, with a host callback whose transport the target shapes. The
// checks here abort with a message, which libFuzzer reports as a finding.
#pragma once

#include <cstdint>
#include <vector>

#include "vst/vst24.h"

namespace fuzz {

inline constexpr int kMaxFrames = 8192;

// What the host callback answers; one per process (the targets drive one
// thread).
struct HostState {
  VstTimeInfo time{};
  bool hasTime = true;
  double sampleRate = 44100;
  VstIntPtr blockSize = 512;
  HostState();
};
HostState& Host();

class Plugin {
 public:
  // Opens the instance at the sample rate and block size and resumes it.
  explicit Plugin(float sampleRate = 44100.0f, VstInt32 blockSize = 512);
  ~Plugin();
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  void Resume() {
    Dispatch(effMainsChanged, 0, 0);
    Dispatch(effMainsChanged, 0, 1);
  }
  // Processes `frames` frames of left/right in place (single precision).
  void Process(float* left, float* right, VstInt32 frames);
  void ProcessDouble(double* left, double* right, VstInt32 frames);
  // The current chunk as bytes (empty when the plug-in gives none).
  std::vector<char> Chunk();
  // Restores a chunk; answers the plug-in's result.
  VstIntPtr Restore(const std::vector<char>& chunk);
  std::vector<float> Parameters();

  AEffect* effect = nullptr;
};

// Aborts with `what` when the condition fails.
void Require(bool condition, const char* what);
bool AllFinite(const float* samples, std::size_t count);
bool AllFinite(const double* samples, std::size_t count);

// One block of a plain finite signal (a quiet saw, both channels), after
// which the output must be finite whatever came before.
void RequireRecovers(Plugin& plugin, VstInt32 frames = 512);

// The chunk the plug-in gives now restores the same chunk and the same
// parameter values.
void RequireChunkRoundTrip(Plugin& plugin);

// Values that break arithmetic or lie just outside a range: NaN (quiet,
// signalling, negative), infinities, subnormals, ±0, ±1e30, the largest
// floats. Special(k) answers entry k modulo the table size.
float Special(std::size_t k);
std::size_t SpecialCount();

// The declared sliders' ranges by slot number (1 … 64): the values just
// outside them, for the mutators. Empty ranges for undeclared slots.
struct SlotRange {
  bool declared = false;
  double minimum = 0;
  double maximum = 0;
  double step = 0;
};
const std::vector<SlotRange>& SlotRanges();  // index = slot number, size 65

}  // namespace fuzz
