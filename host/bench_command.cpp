#include "host/bench_command.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "host/block_processor.h"
#include "host/plugin_instance.h"
#include "host/plugin_locator.h"
#include "host/thread_clock.h"

namespace vornhost {

namespace {

struct Measurement {
  double nsPerFrame = 0.0;
  double realTimeFactor = 0.0;
  double medianBlockUs = 0.0;
  double worstBlockUs = 0.0;
  // Worst block against the median block in the thread's processor time,
  // which leaves out the time other programs had the processor; negative
  // where there is no such clock.
  double worstOverMedianProcessor = -1.0;
};

// The worst value against the median one; 0 for none.
double WorstOverMedian(std::vector<double> times) {
  if (times.empty()) return 0.0;
  std::sort(times.begin(), times.end());
  const double median = times[times.size() / 2];
  return median > 0.0 ? times.back() / median : 0.0;
}

// Times every block of seconds of noise after one second of warm-up.
Measurement Measure(const std::shared_ptr<PluginModule>& module, const BenchOptions& options,
                    Precision precision) {
  PluginInstance plugin(module);
  plugin.Setup(options.sampleRate, options.blockSize);
  plugin.Resume();
  BlockProcessor processor(plugin, options.blockSize, precision);
  std::uint32_t state = 1;
  auto noise = [&state] {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return static_cast<double>(state) / 4294967295.0 - 0.5;
  };
  const int inputs = plugin.numInputs();
  auto fill = [&] {
    for (int c = 0; c < inputs; ++c)
      for (int f = 0; f < options.blockSize; ++f) {
        double v = noise();
        if (precision == Precision::Float)
          processor.floatInput(c)[f] = static_cast<float>(v);
        else
          processor.doubleInput(c)[f] = v;
      }
  };
  const auto blocks = static_cast<std::size_t>(options.seconds * options.sampleRate / options.blockSize) + 1;
  const auto warmup = static_cast<std::size_t>(options.sampleRate / options.blockSize) + 1;
  std::vector<double> times;
  std::vector<double> processorTimes;
  times.reserve(blocks);
  processorTimes.reserve(blocks);
  double position = 0.0;
  using Clock = std::chrono::steady_clock;
  for (std::size_t b = 0; b < warmup + blocks; ++b) {
    fill();
    plugin.host().SetPosition(position);
    const double processorStart = ThreadProcessorSeconds();
    auto start = Clock::now();
    processor.ProcessOnly(options.blockSize);
    auto end = Clock::now();
    const double processorEnd = ThreadProcessorSeconds();
    position += options.blockSize;
    if (b >= warmup) {
      times.push_back(std::chrono::duration<double>(end - start).count());
      if (processorStart >= 0.0) processorTimes.push_back(processorEnd - processorStart);
    }
  }
  plugin.Suspend();
  double total = 0.0;
  for (double t : times) total += t;
  std::vector<double> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  Measurement m;
  const double frames = static_cast<double>(times.size()) * options.blockSize;
  m.nsPerFrame = total / frames * 1e9;
  m.realTimeFactor = total > 0.0 ? frames / options.sampleRate / total : 0.0;
  m.medianBlockUs = sorted[sorted.size() / 2] * 1e6;
  m.worstBlockUs = sorted.back() * 1e6;
  if (!processorTimes.empty()) m.worstOverMedianProcessor = WorstOverMedian(processorTimes);
  return m;
}

}  // namespace

int RunBench(const BenchOptions& options) {
  const std::string path = LocatePlugin(options.plugin);
  auto module = std::shared_ptr<PluginModule>(PluginModule::Load(path));
  const auto [name, canDouble] = ProbePlugin(module);
  const double budgetUs = options.blockSize / options.sampleRate * 1e6;
  std::printf("vornhost bench: \"%s\", %g s of noise per precision, %g Hz, blocks of %d (%.1f us of audio)\n",
              name.c_str(), options.seconds, options.sampleRate, options.blockSize, budgetUs);
  std::printf("  %-9s %12s %14s %14s %14s %12s %18s\n", "precision", "ns/frame", "real time", "median block",
              "worst block", "worst/median", "worst/median (cpu)");
  for (Precision precision : {Precision::Float, Precision::Double}) {
    const char* label = precision == Precision::Float ? "float" : "double";
    if (precision == Precision::Double && !canDouble) {
      std::printf("  %-9s (the plug-in has no double precision processing)\n", label);
      continue;
    }
    Measurement m = Measure(module, options, precision);
    std::printf("  %-9s %12.2f %13.0fx %11.2f us %11.2f us %11.1fx", label, m.nsPerFrame, m.realTimeFactor,
                m.medianBlockUs, m.worstBlockUs,
                m.medianBlockUs > 0.0 ? m.worstBlockUs / m.medianBlockUs : 0.0);
    if (m.worstOverMedianProcessor >= 0.0) {
      std::printf(" %17.1fx\n", m.worstOverMedianProcessor);
    } else {
      std::printf(" %18s\n", "n/a");
    }
  }
  return 0;
}

}  // namespace vornhost
