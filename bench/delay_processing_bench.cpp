// Cost of the delay's process call per stereo frame at 48 kHz in blocks of
// 512 on noise, in float and double, against the same arithmetic as a
// plain scalar loop over flat arrays; the run ends with a table of both and
// their ratio (medians when the run has repetitions).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "tests/support/plugin_instance.h"

namespace {

constexpr std::size_t kBlock = 512;
constexpr double kRate = 48000;

// Noise within ±0.5 from an integer generator: the same on every run.
template <typename Sample>
std::vector<Sample> Noise(std::size_t frames, std::uint32_t seed) {
  std::vector<Sample> s(frames);
  for (Sample& x : s) {
    seed = seed * 1664525u + 1013904223u;
    x = static_cast<Sample>(static_cast<double>(seed >> 8) / 16777216.0 - 0.5);
  }
  return s;
}

void CountFrames(benchmark::State& state) {
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlock,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

// The plug-in as a host runs it: one process call per block.
template <typename Sample>
void BM_PlugIn(benchmark::State& state) {
  PluginInstance p(static_cast<float>(kRate));
  p.SetSlider(4, 40);
  p.SetSlider(5, 1000);
  std::vector<Sample> l = Noise<Sample>(kBlock, 1), r = Noise<Sample>(kBlock, 2);
  std::vector<Sample> outL(kBlock), outR(kBlock);
  Sample* inputs[2] = {l.data(), r.data()};
  Sample* outputs[2] = {outL.data(), outR.data()};
  for (auto _ : state) {
    if constexpr (sizeof(Sample) == sizeof(float)) {
      p.effect->processReplacing(p.effect, inputs, outputs, static_cast<VstInt32>(kBlock));
    } else {
      p.effect->processDoubleReplacing(p.effect, inputs, outputs, static_cast<VstInt32>(kBlock));
    }
    benchmark::ClobberMemory();
  }
  CountFrames(state);
}
BENCHMARK(BM_PlugIn<float>)->Name("PlugIn/float");
BENCHMARK(BM_PlugIn<double>)->Name("PlugIn/double");

// Silent input after a long near-silence that followed a signal: the level
// control's envelope has released below its threshold and its gain has
// decayed to the edge of the normal numbers (after about 36 minutes).
void BM_PlugInAfterLongSilence(benchmark::State& state) {
  PluginInstance p(static_cast<float>(kRate));
  p.SetSlider(4, 40);
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
  CountFrames(state);
}
BENCHMARK(BM_PlugInAfterLongSilence)->Name("PlugInAfterLongSilence/float");

// The same per-frame arithmetic (two lines, high-pass split, four-pole
// ladders, level control, gains) written straight: scalar doubles, one
// channel after the other, two flat arrays for the lines, no script memory,
// hooks or host buffers around it.
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
  template <typename Sample>
  void Process(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR, std::size_t frames) {
    for (std::size_t j = 0; j < frames; ++j) {
      double o0, o1;
      Frame(inL[j], inR[j], o0, o1);
      outL[j] = static_cast<Sample>(o0);
      outR[j] = static_cast<Sample>(o1);
    }
  }
};

template <typename Sample>
void BM_FlatArray(benchmark::State& state) {
  auto delay = std::make_unique<FlatDelay>();
  const std::vector<Sample> l = Noise<Sample>(kBlock, 1), r = Noise<Sample>(kBlock, 2);
  std::vector<Sample> outL(kBlock), outR(kBlock);
  for (auto _ : state) {
    delay->Process(l.data(), r.data(), outL.data(), outR.data(), kBlock);
    benchmark::ClobberMemory();
  }
  CountFrames(state);
}
BENCHMARK(BM_FlatArray<float>)->Name("FlatArray/float");
BENCHMARK(BM_FlatArray<double>)->Name("FlatArray/double");

// The console output, then the plug-in against the flat-array loop per
// precision: each benchmark's median when there are repetitions, else its
// only run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // Colours only on a terminal.
  RatioReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (run.run_type == Run::RT_Aggregate && !median) continue;
      const auto counter = run.counters.find("ns_per_frame");
      if (counter == run.counters.end()) continue;
      Found& found = perFrame_[run.run_name.function_name];
      if (median || !found.median) found = Found{counter->second.value, median};
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-8s %18s %18s %14s\n", "", "process call", "flat-array loop", "process/flat");
    for (const char* precision : {"float", "double"}) {
      const auto plugIn = perFrame_.find(std::string("PlugIn/") + precision);
      const auto flat = perFrame_.find(std::string("FlatArray/") + precision);
      if (plugIn == perFrame_.end() || flat == perFrame_.end()) continue;
      // The counter holds seconds per frame.
      std::printf("%-8s %12.2f ns/fr %12.2f ns/fr %14.2f\n", precision, plugIn->second.seconds * 1e9,
                  flat->second.seconds * 1e9, plugIn->second.seconds / flat->second.seconds);
    }
  }

 private:
  struct Found {
    double seconds = 0;
    bool median = false;
  };
  std::map<std::string, Found> perFrame_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
