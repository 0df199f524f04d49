// The LV2 run call against the VST process call for the same stereo block
// of 512 at 48 kHz with the same settings: the adapter's control scan and
// atom read must cost next to nothing on top of the shared block runner;
// and the same run with the bypass port off, once its ramp is done.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <lv2/atom/atom.h>
#include <lv2/urid/urid.h>

#include "formats/lv2/lv2_entry.h"
#include "tests/support/plugin_instance.h"

namespace {

constexpr std::size_t kBlock = 512;
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

struct Urids {
  std::map<std::string, LV2_URID> ids;
  static LV2_URID Map(LV2_URID_Map_Handle handle, const char* uri) {
    auto& ids = static_cast<Urids*>(handle)->ids;
    return ids.emplace(uri, static_cast<LV2_URID>(ids.size() + 1)).first->second;
  }
};

// enabled: null leaves the bypass port unconnected (on); else its value.
void RunLv2(benchmark::State& state, const float* enabled) {
  Urids urids;
  LV2_URID_Map map{&urids, Urids::Map};
  LV2_Feature mapFeature{LV2_URID__map, &map};
  const LV2_Feature* features[] = {&mapFeature, nullptr};
  const LV2_Descriptor* d = PluginDescriptor(0);
  LV2_Handle h = d->instantiate(d, kRate, "", features);
  std::vector<float> l = Signal(kBlock, 0.01), r = Signal(kBlock, 0.013), outL(kBlock), outR(kBlock);
  // Defaults, with feedback 40 and resonance 0.4 as in the VST case.
  float controls[10] = {4, 500, 0, 40, 2000, 0.4f, 1, 0, 0, 0};
  // An empty sequence, as a host sends while the transport does not change.
  alignas(8) std::uint8_t sequence[64] = {};
  auto* atom = reinterpret_cast<LV2_Atom_Sequence*>(sequence);
  atom->atom.size = sizeof(LV2_Atom_Sequence_Body);
  atom->atom.type = map.map(map.handle, LV2_ATOM__Sequence);
  d->connect_port(h, 0, l.data());
  d->connect_port(h, 1, r.data());
  d->connect_port(h, 2, outL.data());
  d->connect_port(h, 3, outR.data());
  d->connect_port(h, 4, sequence);
  for (std::uint32_t i = 0; i < 10; ++i) d->connect_port(h, 5 + i, &controls[i]);
  if (enabled != nullptr) d->connect_port(h, 15, const_cast<float*>(enabled));
  d->activate(h);
  // Past the bypass ramp (20 ms), so a bypassed run is timed once it is done.
  for (int b = 0; b < 10; ++b) d->run(h, static_cast<std::uint32_t>(kBlock));
  for (auto _ : state) {
    d->run(h, static_cast<std::uint32_t>(kBlock));
    benchmark::ClobberMemory();
  }
  PerFrame(state);
  d->deactivate(h);
  d->cleanup(h);
}

void BM_Lv2Run(benchmark::State& state) {
  RunLv2(state, nullptr);
}
BENCHMARK(BM_Lv2Run);

// Bypassed through the lv2:enabled port: the delay keeps running (its
// echoes are there on return), so this may cost as much as BM_Lv2Run, and
// no more than that beyond copying the dry input.
void BM_Lv2RunBypassed(benchmark::State& state) {
  static const float kOff = 0.0f;
  RunLv2(state, &kOff);
}
BENCHMARK(BM_Lv2RunBypassed);

}  // namespace
