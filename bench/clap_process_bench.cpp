// The CLAP process call against the VST process call for the same stereo
// block of 512 at 48 kHz with the same settings: with no events the
// adapter must cost next to nothing on top of the shared block runner;
// with 8 parameter events spread over the block it runs 9 segments; and
// the bypass, once its fade is done. Then the worst process call around a
// state load at 192 kHz with a 6 s delay (fade out, the lines cleared in
// slices, fade in) against the worst call of the same stretch with no load.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "formats/clap/clap_plugin.h"
#include "tests/clap/clap_test_host.h"
#include "tests/support/plugin_instance.h"

namespace {

constexpr std::uint32_t kBlock = 512;
constexpr double kRate = 48000;

std::vector<float> Signal(std::size_t frames, double phaseStep) {
  std::vector<float> s(frames);
  for (std::size_t j = 0; j < frames; ++j) s[j] = static_cast<float>(0.5 * std::sin(j * phaseStep));
  return s;
}

void PerFrame(benchmark::State& state) {
  state.counters["ns_per_frame"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * kBlock,
      benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
}

void BM_VstProcess(benchmark::State& state) {
  PluginInstance p(static_cast<float>(kRate));
  p.SetSlider(3, 40);
  p.SetSlider(5, 0.4);
  std::vector<float> l = Signal(kBlock, 0.01), r = Signal(kBlock, 0.013), outL(kBlock), outR(kBlock);
  float* inputs[2] = {l.data(), r.data()};
  float* outputs[2] = {outL.data(), outR.data()};
  for (auto _ : state) {
    p.effect->processReplacing(p.effect, inputs, outputs, static_cast<VstInt32>(kBlock));
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}
BENCHMARK(BM_VstProcess);

// events: parameter events per block, spread evenly; bypass: the bypass on.
void RunClap(benchmark::State& state, int events, bool bypass) {
  ClapTestHost host;
  ClapInstance clap(host);
  clap.Activate(kRate, kBlock);
  ClapEventList settings;
  settings.Value(0, 3, 40);
  settings.Value(0, 5, 0.4);
  if (bypass) settings.Value(0, ClapPlugin::kBypassParam, 1);
  std::vector<float> l = Signal(kBlock, 0.01), r = Signal(kBlock, 0.013);
  std::vector<float> ramp(kRate);
  std::vector<float> rampR(kRate);
  clap.Process(ramp, rampR, kBlock, &settings);  // past the bypass fade
  ClapEventList moving;
  for (int k = 0; k < events; ++k) {
    moving.Value(static_cast<std::uint32_t>(k) * kBlock / static_cast<std::uint32_t>(events), 4,
                 1000 + 10 * (k % 2));
  }
  for (auto _ : state) {
    clap.ProcessBlock(l.data(), r.data(), kBlock, events > 0 ? &moving : nullptr);
    benchmark::ClobberMemory();
  }
  PerFrame(state);
}

void BM_ClapProcess(benchmark::State& state) {
  RunClap(state, 0, false);
}
BENCHMARK(BM_ClapProcess);

void BM_ClapProcessEightEvents(benchmark::State& state) {
  RunClap(state, 8, false);
}
BENCHMARK(BM_ClapProcessEightEvents);

void BM_ClapProcessBypassed(benchmark::State& state) {
  RunClap(state, 0, true);
}
BENCHMARK(BM_ClapProcessBypassed);

// Each iteration times every call of the stretch a load takes (both ramps
// and the clear, with room to spare) and reports the slowest one.
void BM_ClapWorstProcessAroundALoad(benchmark::State& state) {
  constexpr double kHighRate = 192000;
  const auto block = static_cast<std::uint32_t>(state.range(0));
  const bool load = state.range(1) != 0;
  ClapTestHost host;
  ClapInstance clap(host);
  clap.Activate(kHighRate, block);
  ClapEventList settings;
  settings.Value(0, 1, 6000);
  settings.Value(0, 3, 50);
  std::vector<float> l = Signal(block, 0.01), r = Signal(block, 0.013);
  clap.ProcessBlock(l.data(), r.data(), block, &settings);
  const std::vector<std::uint8_t> chunk = clap.Save();
  const auto calls = static_cast<std::uint32_t>(0.1 * kHighRate) / block;
  for (auto _ : state) {
    if (load) clap.Load(chunk);
    double worst = 0;
    for (std::uint32_t k = 0; k < calls; ++k) {
      const auto start = std::chrono::steady_clock::now();
      clap.ProcessBlock(l.data(), r.data(), block, nullptr);
      worst =
          std::max(worst, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.SetIterationTime(worst);
  }
}
BENCHMARK(BM_ClapWorstProcessAroundALoad)
    ->ArgNames({"block", "load"})
    ->ArgsProduct({{32, 64}, {0, 1}})
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
