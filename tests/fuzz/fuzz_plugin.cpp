#include "tests/fuzz/fuzz_plugin.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "effect/morvox_effect.h"
#include "formats/vst/entry_point.h"
#include "formats/vst/hoxa.h"

namespace fuzz {

HostState::HostState() {
  time.sampleRate = 44100;
  time.tempo = 120;
  time.timeSigNumerator = 4;
  time.timeSigDenominator = 4;
  time.flags = kVstTransportPlaying | kVstTempoValid | kVstTimeSigValid | kVstPpqPosValid;
}

HostState& Host() {
  static HostState state;
  return state;
}

namespace {

VstIntPtr VSTCALLBACK Callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float) {
  HostState& host = Host();
  switch (opcode) {
    case audioMasterVersion:
      return kVstVersion;
    case audioMasterGetTime:
      return host.hasTime ? reinterpret_cast<VstIntPtr>(&host.time) : 0;
    case audioMasterGetSampleRate:
      return static_cast<VstIntPtr>(host.sampleRate);
    case audioMasterGetBlockSize:
      return host.blockSize;
    case audioMasterAutomate:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

Plugin::Plugin(float sampleRate, VstInt32 blockSize) {
  // The same function the exported VSTPluginMain, main and MAIN call.
  effect = CreatePluginInstance(Callback);
  Require(effect != nullptr, "the entry point built no instance");
  Dispatch(effOpen);
  Dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
  Dispatch(effSetBlockSize, 0, blockSize);
  Dispatch(effMainsChanged, 0, 1);
}

Plugin::~Plugin() {
  Dispatch(effMainsChanged, 0, 0);
  Dispatch(effClose);
}

void Plugin::Process(float* left, float* right, VstInt32 frames) {
  float* channels[2] = {left, right};
  effect->processReplacing(effect, channels, channels, frames);
}

void Plugin::ProcessDouble(double* left, double* right, VstInt32 frames) {
  double* channels[2] = {left, right};
  effect->processDoubleReplacing(effect, channels, channels, frames);
}

std::vector<char> Plugin::Chunk() {
  void* data = nullptr;
  const VstIntPtr size = Dispatch(effGetChunk, 1, 0, &data);
  if (size <= 0 || data == nullptr) return {};
  const char* bytes = static_cast<const char*>(data);
  return std::vector<char>(bytes, bytes + size);
}

VstIntPtr Plugin::Restore(const std::vector<char>& chunk) {
  std::vector<char> copy = chunk;  // the host's buffer, writable as the interface types it
  return Dispatch(effSetChunk, 1, static_cast<VstIntPtr>(copy.size()), copy.data());
}

std::vector<float> Plugin::Parameters() {
  std::vector<float> values;
  for (VstInt32 i = 0; i < effect->numParams; ++i) values.push_back(effect->getParameter(effect, i));
  return values;
}

void Require(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz invariant broken: %s\n", what);
  std::abort();
}

bool AllFinite(const float* samples, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!std::isfinite(samples[i])) return false;
  return true;
}

bool AllFinite(const double* samples, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    if (!std::isfinite(samples[i])) return false;
  return true;
}

void RequireRecovers(Plugin& plugin, VstInt32 frames) {
  static std::vector<float> left(kMaxFrames);
  static std::vector<float> right(kMaxFrames);
  for (VstInt32 i = 0; i < frames; ++i) {
    left[static_cast<std::size_t>(i)] = static_cast<float>(i % 64) / 128.0f - 0.25f;
    right[static_cast<std::size_t>(i)] = -left[static_cast<std::size_t>(i)];
  }
  plugin.Process(left.data(), right.data(), frames);
  Require(AllFinite(left.data(), static_cast<std::size_t>(frames)) &&
              AllFinite(right.data(), static_cast<std::size_t>(frames)),
          "a block of finite input gave non-finite output");
}

void RequireChunkRoundTrip(Plugin& plugin) {
  const std::vector<char> saved = plugin.Chunk();
  const std::vector<float> parameters = plugin.Parameters();
  plugin.Restore(saved);
  Require(plugin.Chunk() == saved, "a chunk from effGetChunk did not restore the same chunk");
  Require(plugin.Parameters() == parameters, "a chunk from effGetChunk did not restore the same parameters");
}

namespace {

float FromBits(std::uint32_t bits) {
  float f;
  std::memcpy(&f, &bits, sizeof f);
  return f;
}

const std::vector<float>& Specials() {
  static const std::vector<float> table = [] {
    using limits = std::numeric_limits<float>;
    return std::vector<float>{limits::quiet_NaN(),
                              -limits::quiet_NaN(),
                              FromBits(0x7FA00000u),  // signalling NaN
                              FromBits(0xFFFFFFFFu),
                              limits::infinity(),
                              -limits::infinity(),
                              limits::denorm_min(),
                              -limits::denorm_min(),
                              limits::min() / 2,
                              -limits::min() / 2,
                              limits::min(),
                              0.0f,
                              -0.0f,
                              1e30f,
                              -1e30f,
                              limits::max(),
                              -limits::max(),
                              1e-30f,
                              1.0f,
                              -1.0f,
                              1.0f + limits::epsilon(),
                              -limits::epsilon(),
                              2147483648.0f,
                              -2147483904.0f};
  }();
  return table;
}

}  // namespace

float Special(std::size_t k) {
  return Specials()[k % Specials().size()];
}

std::size_t SpecialCount() {
  return Specials().size();
}

const std::vector<SlotRange>& SlotRanges() {
  static const std::vector<SlotRange> ranges = [] {
    std::vector<SlotRange> out(65);
    TMorvoxEffect effect;
    for (const SliderInfo& s : effect.sliders) {
      if (s.number < 1 || s.number > 64) continue;
      out[static_cast<std::size_t>(s.number)] = {true, s.minimum, s.maximum, s.step};
    }
    return out;
  }();
  return ranges;
}

}  // namespace fuzz
