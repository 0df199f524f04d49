// Audio of any numbers (NaN, infinities, subnormals, huge values), blocks
// of 0 … 8192 frames, any sample rate, tempo and transport changes, with
// every parameter moving between blocks. A block of finite, not absurdly
// loud input must come out finite, and so must the plain block after all.
#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/fuzz/fuzz_plugin.h"

namespace {

// Input below this level cannot overflow the output: the dry gain is at
// most +10 dB and the echo's level control keeps the wet path near 1.
constexpr double kSaneLevel = 1e30;

float SampleRate(FuzzedDataProvider& in) {
  static constexpr float kRates[] = {44100, 48000, 96000,  192000, 22050,  8000, 1,
                                     0.5f,  0,     -44100, 1e6f,   1.5e6f, 1e9f, 3e38f};
  switch (in.ConsumeIntegralInRange<int>(0, 3)) {
    case 0:
    case 1:
      return kRates[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kRates) - 1)];
    case 2:
      return fuzz::Special(in.ConsumeIntegral<std::uint8_t>());
    default:
      return in.ConsumeFloatingPointInRange<float>(-1e6f, 2e6f);
  }
}

float Value(FuzzedDataProvider& in) {
  if (in.ConsumeBool()) return fuzz::Special(in.ConsumeIntegral<std::uint8_t>());
  return in.ConsumeFloatingPointInRange<float>(-0.5f, 1.5f);
}

double Number(FuzzedDataProvider& in) {
  switch (in.ConsumeIntegralInRange<int>(0, 2)) {
    case 0:
      return fuzz::Special(in.ConsumeIntegral<std::uint8_t>());
    case 1:
      return in.ConsumeFloatingPointInRange<double>(-1000, 1000);
    default:
      return in.ConsumeFloatingPoint<double>();
  }
}

void Transport(FuzzedDataProvider& in) {
  fuzz::HostState& host = fuzz::Host();
  host.hasTime = in.ConsumeIntegralInRange<int>(0, 7) != 0;
  host.time.tempo = Number(in);
  host.time.ppqPos = Number(in);
  host.time.samplePos = Number(in);
  host.time.barStartPos = Number(in);
  host.time.timeSigNumerator = in.ConsumeIntegralInRange<VstInt32>(-2, 17);
  host.time.timeSigDenominator = in.ConsumeIntegralInRange<VstInt32>(-2, 33);
  host.time.flags = in.ConsumeIntegral<VstInt32>();
}

// Fills both channels the way the input chooses; answers whether every
// sample is finite and within the sane level.
template <typename Sample>
bool Fill(FuzzedDataProvider& in, Sample* left, Sample* right, std::size_t n) {
  const int mode = in.ConsumeIntegralInRange<int>(0, 4);
  const Sample special = static_cast<Sample>(fuzz::Special(in.ConsumeIntegral<std::uint8_t>()));
  const double level = Number(in);
  for (std::size_t i = 0; i < n; ++i) {
    double x = 0;
    switch (mode) {
      case 0:
        x = 0;
        break;
      case 1:
        x = static_cast<double>(special);
        break;
      case 2:
        x = level * std::sin(0.05 * static_cast<double>(i));
        break;
      default:
        x = static_cast<double>(i % 37) / 37.0 - 0.5;
        break;
    }
    left[i] = static_cast<Sample>(x);
    right[i] = static_cast<Sample>(-x);
  }
  // Single samples of any bits, at the positions the input names.
  const int scattered = n > 0 ? in.ConsumeIntegralInRange<int>(0, 8) : 0;
  for (int k = 0; k < scattered; ++k) {
    const std::size_t at = in.ConsumeIntegralInRange<std::size_t>(0, n - 1);
    Sample* channel = in.ConsumeBool() ? left : right;
    if (in.ConsumeBool()) {
      channel[at] = static_cast<Sample>(fuzz::Special(in.ConsumeIntegral<std::uint8_t>()));
    } else {
      Sample raw;
      const auto bytes = in.ConsumeBytes<unsigned char>(sizeof raw);
      std::memset(&raw, 0, sizeof raw);
      if (!bytes.empty()) std::memcpy(&raw, bytes.data(), bytes.size());
      channel[at] = raw;
    }
  }
  for (std::size_t i = 0; i < n; ++i)
    if (!(std::fabs(static_cast<double>(left[i])) <= kSaneLevel) ||
        !(std::fabs(static_cast<double>(right[i])) <= kSaneLevel))
      return false;
  return true;
}

template <typename Sample, typename ProcessFn>
void Block(FuzzedDataProvider& in, std::vector<Sample>& left, std::vector<Sample>& right, ProcessFn process) {
  const VstInt32 frames = in.ConsumeBool() ? in.ConsumeIntegralInRange<VstInt32>(0, 64)
                                           : in.ConsumeIntegralInRange<VstInt32>(0, fuzz::kMaxFrames);
  const auto n = static_cast<std::size_t>(frames);
  const bool sane = Fill(in, left.data(), right.data(), n);
  process(left.data(), right.data(), frames);
  if (sane)
    fuzz::Require(fuzz::AllFinite(left.data(), n) && fuzz::AllFinite(right.data(), n),
                  "finite input gave non-finite output");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  // One instance for the whole run (building one costs more than a run);
  // each input starts from its first slider values.
  static fuzz::Plugin plugin;
  static const std::vector<char> initial = plugin.Chunk();
  static std::vector<float> left(fuzz::kMaxFrames);
  static std::vector<float> right(fuzz::kMaxFrames);
  static std::vector<double> leftDouble(fuzz::kMaxFrames);
  static std::vector<double> rightDouble(fuzz::kMaxFrames);
  fuzz::Host() = fuzz::HostState{};
  plugin.Dispatch(effMainsChanged, 0, 0);
  plugin.Restore(initial);

  const auto restart = [&] {
    const float rate = SampleRate(in);
    fuzz::Host().sampleRate = std::isfinite(rate) ? rate : 0;
    plugin.Dispatch(effMainsChanged, 0, 0);
    plugin.Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
    plugin.Dispatch(effSetBlockSize, 0, in.ConsumeIntegralInRange<VstInt32>(0, fuzz::kMaxFrames));
    plugin.Dispatch(effMainsChanged, 0, 1);
  };
  restart();
  Transport(in);
  for (int block = 0; block < 12 && in.remaining_bytes() > 0; ++block) {
    switch (in.ConsumeIntegralInRange<int>(0, 7)) {
      case 0:
        restart();
        break;
      case 1:
        Transport(in);
        break;
      default:
        break;
    }
    for (VstInt32 i = 0; i < plugin.effect->numParams; ++i)
      if (in.ConsumeBool()) plugin.effect->setParameter(plugin.effect, i, Value(in));
    if (in.ConsumeBool()) {
      Block(in, left, right, [&](float* l, float* r, VstInt32 n) { plugin.Process(l, r, n); });
    } else {
      Block(in, leftDouble, rightDouble,
            [&](double* l, double* r, VstInt32 n) { plugin.ProcessDouble(l, r, n); });
    }
  }
  fuzz::RequireRecovers(plugin);
  fuzz::RequireChunkRoundTrip(plugin);
  return 0;
}
