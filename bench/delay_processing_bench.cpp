// Cost of the delay's block and sample sections per stereo frame at 48 kHz
// in blocks of 512, against the same loop over a plain flat-array delay line.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "tests/support/plugin_instance.h"

namespace {

constexpr std::size_t kBlock = 512;
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
  std::vector<float> outL(kBlock), outR(kBlock);
  float* inputs[2] = {l.data(), r.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  for (auto _ : state) {
    p.effect->processReplacing(p.effect, inputs, outputs, static_cast<VstInt32>(kBlock));
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlock,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_DelayEffect);

// Silent input after a long near-silence that followed a signal: the level
// control's envelope has released below its threshold and its gain has
// decayed to the edge of the normal numbers (after about 36 minutes).
void BM_DelayEffectAfterLongSilence(benchmark::State& state) {
  PluginInstance p(static_cast<float>(kRate));
  p.SetSlider(3, 40);
  p.SetSlider(5, 0.4);
  std::vector<float> l(kBlock), r(kBlock);
  p.Process(l, r);
  p.Script().v.levelEnv = 0;
  p.Script().v.levelGain = 1e-309;
  std::vector<float> outL(kBlock), outR(kBlock);
  float* inputs[2] = {l.data(), r.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  for (auto _ : state) {
    p.effect->processReplacing(p.effect, inputs, outputs, static_cast<VstInt32>(kBlock));
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlock,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_DelayEffectAfterLongSilence);

// The same per-frame arithmetic (two lines, high-pass split, four-pole
// ladders, level control, gains) on two flat arrays: what the arithmetic
// itself costs, with no script memory, hooks or host buffers around it.
struct FlatDelay {
  struct Ladder {
    double p, k, r, x0p = 0, y1 = 0, y2 = 0, y3 = 0, y4 = 0, y1p = 0, y2p = 0, y3p = 0;
    double Run(double h) {
      const double x = h - r * y4;
      y1 = p * x + p * x0p - k * y1;
      y2 = p * y1 + p * y1p - k * y2;
      y3 = p * y2 + p * y2p - k * y3;
      y4 = p * y3 + p * y3p - k * y4;
      y4 = y4 - y4 * y4 * y4 / 6;
      x0p = x;
      y1p = y1;
      y2p = y2;
      y3p = y3;
      return y4;
    }
  };

  std::vector<double> left = std::vector<double>(static_cast<std::size_t>(6 * kRate) + 2);
  std::vector<double> right = std::vector<double>(static_cast<std::size_t>(6 * kRate) + 2);
  double posL = 0, posR = 0, lenL = 23989, lenR = 24011, wetL = 0, wetR = 0, hpL = 0, hpR = 0;
  double hold = 0, env = 0, gain = 0;
  double fb = 0.4, hp = 0.0194, mix = 1, direct = 0, att = 0.9995, rel = 0.9995, hc = 0.999, rec = 0.99999;
  double dry = 1, wet = 1;
  Ladder ladL{0.19, 2 * 0.19 - 1, 0.4}, ladR{0.16, 2 * 0.16 - 1, 0.4};
  std::uint32_t seed = 1;

  static double Step(std::vector<double>& line, double length, double& position, double input) {
    line[static_cast<std::size_t>(static_cast<std::int32_t>(position + 0.0001))] = input;
    position = position > length ? 0 : position + 1;
    return line[static_cast<std::size_t>(static_cast<std::int32_t>(position + 0.0001))];
  }

  void Frame(double x0, double x1, double& out0, double& out1) {
    seed = seed * 214013u + 2531011u;
    const double noise = static_cast<double>((seed >> 16) & 0x7FFF) / 32767.0 * 1e-10;
    const double dL = Step(left, lenL, posL, (x0 + fb * wetL + noise) * 0.962);
    const double dR = Step(right, lenR, posR, x1 + fb * wetR + noise);
    hpL += hp * (dL - hpL);
    hpR += hp * (dR - hpR);
    const double hL = dL - hpL, hR = dR - hpR;
    const double oL = ladL.Run(hL) * mix + hL * direct;
    const double oR = ladR.Run(hR) * mix + hR * direct;
    double n = std::fabs(oL) + 0.5 * std::fabs(oR);
    if (n < hold) n = n + (hold - n) * hc;
    hold = n;
    env = n > env ? n + att * (env - n) : n + rel * (env - n);
    gain = env > 0.001 ? 0.891 / (env + 0.5) : gain * rec;
    wetL = oL * gain;
    wetR = oR * gain;
    out0 = x0 * dry - wetL * wet;
    out1 = wetR * wet + x1 * dry;
  }

  // A block, as a plug-in's process call runs it: the state lives in the
  // (heap) object, the lines in their arrays.
  void Process(const float* inL, const float* inR, float* outL, float* outR, std::size_t frames) {
    for (std::size_t j = 0; j < frames; ++j) {
      double o0, o1;
      Frame(inL[j], inR[j], o0, o1);
      outL[j] = static_cast<float>(o0);
      outR[j] = static_cast<float>(o1);
    }
  }
};

void BM_FlatArrayDelay(benchmark::State& state) {
  auto delay = std::make_unique<FlatDelay>();
  const std::vector<float> l = Signal(kBlock, 0.01), r = Signal(kBlock, 0.013);
  std::vector<float> outL(kBlock), outR(kBlock);
  for (auto _ : state) {
    delay->Process(l.data(), r.data(), outL.data(), outR.data(), kBlock);
    benchmark::ClobberMemory();
  }
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlock,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}
BENCHMARK(BM_FlatArrayDelay);

}  // namespace
