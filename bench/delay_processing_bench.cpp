// Cost of the delay's block and sample sections per stereo frame at 48 kHz
// in blocks of 512, against the same loop over a plain flat-array delay line.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "tests/support/plugin_instance.h"

namespace {

constexpr int kBlock = 512;
constexpr double kRate = 48000;

std::vector<float> Signal(std::size_t frames, double phaseStep) {
  std::vector<float> s(frames);
  for (std::size_t j = 0; j < frames; ++j) s[j] = static_cast<float>(0.5 * std::sin(j * phaseStep));
  return s;
}

// The effect as a host runs it: OnBlock once, then OnSample per frame.
void BM_DelayEffect(benchmark::State& state) {
  PluginInstance p(static_cast<float>(kRate));
  p.SetSlider(3, 40);
  p.SetSlider(5, 0.4);
  std::vector<float> l = Signal(kBlock, 0.01), r = Signal(kBlock, 0.013);
  float* channels[2] = {l.data(), r.data()};
  for (auto _ : state) {
    p.effect->processReplacing(p.effect, channels, channels, kBlock);
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlock,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_DelayEffect);

// The same two lines, filters and level control on flat arrays: what the
// arithmetic itself costs.
void BM_FlatArrayDelay(benchmark::State& state) {
  const auto length = static_cast<std::size_t>(6 * kRate);
  std::vector<double> left(length + 2), right(length + 2);
  double posL = 0, posR = 0, lenL = 23989, lenR = 24011, wetL = 0, wetR = 0, hpL = 0, hpR = 0;
  double y4L = 0, y4R = 0, env = 0, gain = 0, hold = 0;
  const double fb = 0.4, hp = 0.0194, p = 0.17, k = 2 * p - 1, att = 0.9995, rel = 0.9995, hc = 0.999;
  std::uint32_t seed = 1;
  std::vector<float> l = Signal(kBlock, 0.01), r = Signal(kBlock, 0.013);
  for (auto _ : state) {
    for (int j = 0; j < kBlock; ++j) {
      seed = seed * 214013u + 2531011u;
      const double noise = static_cast<double>((seed >> 16) & 0x7FFF) / 32767.0 * 1e-10;
      const double x0 = l[static_cast<std::size_t>(j)], x1 = r[static_cast<std::size_t>(j)];
      left[static_cast<std::size_t>(posL)] = (x0 + fb * wetL + noise) * 0.962;
      posL = posL > lenL ? 0 : posL + 1;
      const double dL = left[static_cast<std::size_t>(posL)];
      right[static_cast<std::size_t>(posR)] = x1 + fb * wetR + noise;
      posR = posR > lenR ? 0 : posR + 1;
      const double dR = right[static_cast<std::size_t>(posR)];
      hpL += hp * (dL - hpL);
      hpR += hp * (dR - hpR);
      const double hL = dL - hpL, hR = dR - hpR;
      y4L = p * (hL - 0.1 * y4L) - k * y4L;
      y4R = p * (hR - 0.1 * y4R) - k * y4R;
      y4L -= y4L * y4L * y4L / 6;
      y4R -= y4R * y4R * y4R / 6;
      double n = std::fabs(y4L) + 0.5 * std::fabs(y4R);
      if (n < hold) n = n + (hold - n) * hc;
      hold = n;
      env = n > env ? n + att * (env - n) : n + rel * (env - n);
      gain = env > 0.001 ? 0.891 / (env + 0.5) : gain * 0.9999;
      wetL = y4L * gain;
      wetR = y4R * gain;
      l[static_cast<std::size_t>(j)] = static_cast<float>(x0 - wetL);
      r[static_cast<std::size_t>(j)] = static_cast<float>(wetR + x1);
    }
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlock,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_FlatArrayDelay);

}  // namespace
