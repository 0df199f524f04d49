#include "host/lv2/lv2_commands.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <vector>

#include "host/json_writer.h"
#include "host/lv2/lv2_plugin_host.h"
#ifndef VORNHOST_NO_AUDIO_FILES
#include "host/host_error.h"
#include "host/plugin_module.h"
#include "host/render_pipeline.h"
#endif

namespace vornhost {

namespace {

std::string Properties(const Lv2Control& c) {
  std::string out;
  if (c.toggled) out += " toggled";
  if (c.integer) out += " integer";
  if (c.enumeration) out += " enumeration";
  return out;
}

}  // namespace

int RunLv2Info(const InfoOptions& options) {
  Lv2PluginHost plugin(options.plugin);
  if (options.json) {
    JsonWriter j;
    j.BeginObject();
    j.Value("format", std::string("lv2")).Value("uri", plugin.Uri()).Value("name", plugin.Name());
    j.Value("author", plugin.Author()).Value("bundle", plugin.BundlePath());
    j.Value("inputs", plugin.numInputs()).Value("outputs", plugin.numOutputs());
    j.Bool("latency", plugin.HasLatency());
    j.Value("bypassPort", plugin.BypassPort());
    j.BeginArray("requiredFeatures");
    for (const std::string& f : plugin.RequiredFeatures()) j.Value(nullptr, f);
    j.EndArray();
    j.BeginArray("uis");
    for (const std::string& u : plugin.Uis()) j.Value(nullptr, u);
    j.EndArray();
    j.BeginArray("controls");
    for (const Lv2Control& c : plugin.controls()) {
      j.BeginObject();
      j.Value("index", static_cast<long long>(c.index)).Value("symbol", c.symbol).Value("name", c.name);
      j.Value("unit", c.unit).Value("default", static_cast<double>(c.defaultValue));
      j.Value("minimum", static_cast<double>(c.minimum)).Value("maximum", static_cast<double>(c.maximum));
      j.Bool("toggled", c.toggled).Bool("integer", c.integer).Bool("enumeration", c.enumeration);
      j.BeginArray("scalePoints");
      for (const auto& [value, label] : c.scalePoints) {
        j.BeginObject().Value("value", static_cast<double>(value)).Value("label", label).EndObject();
      }
      j.EndArray();
      j.EndObject();
    }
    j.EndArray();
    j.EndObject();
    std::printf("%s\n", j.str().c_str());
    return 0;
  }
  std::printf("LV2 plug-in    %s\n", plugin.Uri().c_str());
  std::printf("name           %s\n", plugin.Name().c_str());
  std::printf("author         %s\n", plugin.Author().c_str());
  std::printf("bundle         %s\n", plugin.BundlePath().c_str());
  std::printf("audio          %d in, %d out\n", plugin.numInputs(), plugin.numOutputs());
  std::printf("latency        %s\n", plugin.HasLatency() ? "reported" : "none");
  for (const std::string& f : plugin.RequiredFeatures()) std::printf("requires       %s\n", f.c_str());
  for (const std::string& u : plugin.Uis()) std::printf("ui             %s\n", u.c_str());
  for (const auto& [label, uri] : plugin.Presets())
    std::printf("preset         %s <%s>\n", label.c_str(), uri.c_str());
  std::printf("controls       %zu\n", plugin.controls().size());
  if (plugin.BypassPort() >= 0)
    std::printf("bypass         port %lld (lv2:enabled), kept on\n", plugin.BypassPort());
  for (const Lv2Control& c : plugin.controls()) {
    std::printf("  %3u %-18s %-22s %10g .. %-10g default %-8g %s%s\n", c.index, c.symbol.c_str(),
                c.name.c_str(), static_cast<double>(c.minimum), static_cast<double>(c.maximum),
                static_cast<double>(c.defaultValue), c.unit.c_str(), Properties(c).c_str());
    if (!c.scalePoints.empty()) {
      std::printf("      options:");
      for (const auto& [value, label] : c.scalePoints)
        std::printf(" %g=%s", static_cast<double>(value), label.c_str());
      std::printf("\n");
    }
  }
  return 0;
}

int RunLv2Bench(const BenchOptions& options) {
  Lv2PluginHost plugin(options.plugin);
  plugin.Start(options.sampleRate, options.blockSize);
  const auto block = static_cast<std::size_t>(options.blockSize);
  std::vector<std::vector<float>> in(static_cast<std::size_t>(plugin.numInputs()), std::vector<float>(block)),
      out(static_cast<std::size_t>(plugin.numOutputs()), std::vector<float>(block));
  std::vector<const float*> inPtr;
  std::vector<float*> outPtr;
  for (auto& c : in) inPtr.push_back(c.data());
  for (auto& c : out) outPtr.push_back(c.data());
  std::uint32_t state = 1;
  const auto blocks = static_cast<std::size_t>(options.seconds * options.sampleRate / options.blockSize) + 1;
  const auto warmup = static_cast<std::size_t>(options.sampleRate / options.blockSize) + 1;
  std::vector<double> times;
  times.reserve(blocks);
  double position = 0;
  using Clock = std::chrono::steady_clock;
  for (std::size_t b = 0; b < warmup + blocks; ++b) {
    for (auto& c : in)
      for (float& x : c) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        x = static_cast<float>(static_cast<double>(state) / 4294967295.0 - 0.5);
      }
    const auto start = Clock::now();
    plugin.Process(inPtr.data(), outPtr.data(), options.blockSize, position);
    const auto end = Clock::now();
    position += options.blockSize;
    if (b >= warmup) times.push_back(std::chrono::duration<double>(end - start).count());
  }
  plugin.Stop();
  double total = 0;
  for (double t : times) total += t;
  std::vector<double> sorted = times;
  std::sort(sorted.begin(), sorted.end());
  const double frames = static_cast<double>(times.size()) * options.blockSize;
  const double median = sorted[sorted.size() / 2] * 1e6, worst = sorted.back() * 1e6;
  std::printf("vornhost bench: LV2 \"%s\", %g s of noise, %g Hz, blocks of %d (%.1f us of audio)\n",
              plugin.Name().c_str(), options.seconds, options.sampleRate, options.blockSize,
              options.blockSize / options.sampleRate * 1e6);
  std::printf("  %-9s %12s %14s %14s %14s %12s\n", "precision", "ns/frame", "real time", "median block",
              "worst block", "worst/median");
  std::printf("  %-9s %12.2f %13.0fx %11.2f us %11.2f us %11.1fx\n", "float", total / frames * 1e9,
              total > 0 ? frames / options.sampleRate / total : 0.0, median, worst,
              median > 0 ? worst / median : 0.0);
  std::printf("  %-9s (LV2 audio ports are single precision)\n", "double");
  return 0;
}

#ifndef VORNHOST_NO_AUDIO_FILES
namespace {

// An LV2 plug-in as a block engine: its audio is single precision.
class Lv2BlockEngine : public BlockEngine {
 public:
  Lv2BlockEngine(Lv2PluginHost& plugin, int blockSize)
      : plugin_(plugin),
        in_(static_cast<std::size_t>(plugin.numInputs()),
            std::vector<float>(static_cast<std::size_t>(blockSize))),
        out_(static_cast<std::size_t>(plugin.numOutputs()),
             std::vector<float>(static_cast<std::size_t>(blockSize))) {
    for (auto& c : in_) inPtr_.push_back(c.data());
    for (auto& c : out_) outPtr_.push_back(c.data());
  }
  int inputs() const override { return plugin_.numInputs(); }
  int outputs() const override { return plugin_.numOutputs(); }
  void Process(const double* const* in, double* const* out, int frames, double samplePos) override {
    const auto n = static_cast<std::size_t>(frames);
    for (std::size_t i = 0; i < in_.size(); ++i)
      for (std::size_t f = 0; f < n; ++f) in_[i][f] = in[i] != nullptr ? static_cast<float>(in[i][f]) : 0.0f;
    plugin_.Process(inPtr_.data(), outPtr_.data(), frames, samplePos);
    for (std::size_t o = 0; o < out_.size(); ++o)
      for (std::size_t f = 0; f < n; ++f) out[o][f] = out_[o][f];
  }

 private:
  Lv2PluginHost& plugin_;
  std::vector<std::vector<float>> in_, out_;
  std::vector<const float*> inPtr_;
  std::vector<float*> outPtr_;
};

}  // namespace

int RunLv2Render(const RenderCommandOptions& options) {
  if (options.precision == Precision::Double)
    throw HostError("LV2 audio is single precision; leave out --double");
  if (!options.loadState.empty() || !options.saveState.empty())
    throw HostError("--state and --save-state are for VST plug-ins; LV2 hosts keep state as presets");
  RenderFiles files(options);
  Lv2PluginHost plugin(options.plugin);
  for (const std::string& assignment : options.params) plugin.Assign(assignment);
  const double rate = options.sampleRate > 0.0 ? options.sampleRate : files.input.sampleRate();
  plugin.SetTransport(options.transport);
  plugin.Start(rate, options.blockSize);
  if (!options.preset.empty()) {
    plugin.ApplyPreset(options.preset);
    // Settings given as well win over the preset's.
    for (const std::string& assignment : options.params) plugin.Assign(assignment);
  }
  RenderOptions render;
  render.blockSize = options.blockSize;
  render.precision = Precision::Float;
  render.tailSeconds = options.tailSeconds;
  render.progress = StderrIsTerminal();
  Lv2BlockEngine engine(plugin, options.blockSize);
  RenderToOutput(
      files, engine, render, [&] { plugin.Stop(); }, " (LV2)");
  return 0;
}
#endif

}  // namespace vornhost
