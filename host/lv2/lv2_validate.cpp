// `vornhost validate` for LV2 plug-ins, each check in its own process as
// for VST: sample rates, silence, noise at every control's extremes, NaN
// and infinities, no allocation while running; then what LV2 hosts hand a
// plug-in (host/lv2/lv2_validate_checks.h): state round trip, foreign and
// damaged state, atoms whose sizes lie, run before activate, two instances
// in one process, activate forgetting the past, the last restore winning,
// the run() after a restore against the block's time, the X11 UI with and
// without a display, and the host's X error handler after unloading.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "host/alloc_counter.h"
#include "host/lv2/lv2_commands.h"
#include "host/lv2/lv2_plugin_host.h"
#include "host/lv2/lv2_validate_checks.h"
#include "host/plugin_module.h"
#include "host/validate_report.h"

namespace vornhost {

namespace {

constexpr int kCheckTimeoutSeconds = 300;

// Drives one started instance with stereo (or whatever) noise or a fixed value.
struct Driver {
  explicit Driver(Lv2PluginHost& p, int block = 512)
      : plugin(p),
        block(block),
        in(static_cast<std::size_t>(p.numInputs()), std::vector<float>(static_cast<std::size_t>(block))),
        out(static_cast<std::size_t>(p.numOutputs()), std::vector<float>(static_cast<std::size_t>(block))) {
    for (auto& c : in) inPtr.push_back(c.data());
    for (auto& c : out) outPtr.push_back(c.data());
  }
  // Runs `frames` of input from `source`; false when any output is not finite.
  bool Run(std::size_t frames, const std::function<float()>& source) {
    bool finite = true;
    for (std::size_t done = 0; done < frames; done += static_cast<std::size_t>(block)) {
      for (auto& c : in)
        for (float& x : c) x = source();
      plugin.Process(inPtr.data(), outPtr.data(), block, position);
      position += block;
      for (auto& c : out)
        for (float x : c) finite = finite && std::isfinite(x);
    }
    return finite;
  }
  float Peak() const {
    float peak = 0;
    for (auto& c : out)
      for (float x : c) peak = std::fmax(peak, std::fabs(x));
    return peak;
  }
  Lv2PluginHost& plugin;
  int block;
  double position = 0;
  std::vector<std::vector<float>> in, out;
  std::vector<const float*> inPtr;
  std::vector<float*> outPtr;
};

std::function<float()> Noise(unsigned seed) {
  auto generator = std::make_shared<std::mt19937>(seed);
  return [generator] { return std::uniform_real_distribution<float>(-0.5f, 0.5f)(*generator); };
}

std::string Number(double x) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", x);
  return text;
}

}  // namespace

int RunLv2Validate(const ValidateOptions& options) {
  const std::string reference = options.plugin;
  {
    Lv2PluginHost probe(reference);  // fails here when it is not found
    std::printf("vornhost validate: LV2 \"%s\" (%s), strictness %d\n", probe.Name().c_str(),
                probe.Uri().c_str(), options.strictness);
  }
  const double seconds = 0.4 * options.strictness;
  struct Entry {
    const char* name;
    std::function<std::string(Lv2PluginHost&)> run;  // "" for a pass, else the failure
  };
  const std::vector<Entry> checks = {
      {"sample rates",
       [&](Lv2PluginHost& p) -> std::string {
         for (double rate : {22050.0, 44100.0, 48000.0, 96000.0, 192000.0}) {
           p.Start(rate, 512);
           Driver d(p);
           if (!d.Run(static_cast<std::size_t>(rate * 0.5), Noise(options.seed)))
             return "non-finite output at " + Number(rate) + " Hz";
         }
         return {};
       }},
      {"silence",
       [&](Lv2PluginHost& p) -> std::string {
         p.Start(44100, 512);
         Driver d(p);
         if (!d.Run(44100 * 2, [] { return 0.0f; })) return "non-finite output";
         return d.Peak() <= 1e-6f ? std::string() : "silence in gives " + Number(d.Peak()) + " out";
       }},
      {"controls at their extremes",
       [&](Lv2PluginHost& p) -> std::string {
         for (const Lv2Control& c : p.controls()) {
           for (float value : {c.minimum, c.maximum, c.defaultValue}) {
             Lv2PluginHost fresh(reference);
             fresh.Assign(c.symbol + "=" + Number(value));
             fresh.Start(44100, 512);
             Driver d(fresh);
             if (!d.Run(static_cast<std::size_t>(44100 * seconds / 4), Noise(options.seed)))
               return "non-finite output with " + c.symbol + " = " + Number(value);
           }
         }
         return {};
       }},
      {"NaN and infinities",
       [&](Lv2PluginHost& p) -> std::string {
         if (options.strictness < 7) return "S";
         p.Start(44100, 512);
         Driver d(p);
         int k = 0;
         d.Run(4096, [&k] {
           const float bad[] = {NAN, INFINITY, -INFINITY, 1e30f};
           return bad[k++ % 4];
         });
         // Afterwards the plug-in must recover within two seconds of noise.
         d.Run(44100 * 2, Noise(options.seed));
         return d.Run(44100, Noise(options.seed + 1)) ? std::string()
                                                      : "output stays non-finite after bad input";
       }},
      {"no allocation while running",
       [&](Lv2PluginHost& p) -> std::string {
         p.Start(44100, 512);
         Driver d(p);
         d.Run(44100 * 7, Noise(options.seed));       // longer than a 6 s delay line
         const auto noise = Noise(options.seed + 1);  // made before counting starts
         alloc::StartCounting();
         d.Run(static_cast<std::size_t>(44100 * seconds), noise);
         const std::uint64_t count = alloc::StopCounting();
         return count == 0 ? std::string() : std::to_string(count) + " heap allocations while running";
       }},
      // What LV2 hosts hand a plug-in: state, atoms, call order, other
      // instances, the UI.
      {"state round trip", [&](Lv2PluginHost&) { return CheckLv2StateRoundTrip(reference); }},
      {"foreign and damaged state", [&](Lv2PluginHost&) { return CheckLv2ForeignState(reference); }},
      {"atoms whose sizes lie", [&](Lv2PluginHost&) { return CheckLv2LyingAtoms(reference); }},
      {"run before activate", [&](Lv2PluginHost&) { return CheckLv2RunBeforeActivate(reference); }},
      {"two instances in one process",
       [&](Lv2PluginHost&) { return CheckLv2TwoInstances(reference, options.seed); }},
      {"activate forgets the past", [&](Lv2PluginHost&) { return CheckLv2ActivateForgets(reference); }},
      {"last restore wins", [&](Lv2PluginHost&) { return CheckLv2LastRestoreWins(reference); }},
      {"run() after a restore in time", [&](Lv2PluginHost&) { return CheckLv2RunAroundRestore(reference); }},
#ifndef VORNHOST_LV2_NO_X11
      {"X11 UI with and without a display", [&](Lv2PluginHost&) { return CheckLv2X11Ui(reference); }},
      {"unload after the UI", [&](Lv2PluginHost&) { return CheckLv2UnloadAfterUi(reference); }},
#endif
  };
  ValidateReport report(32);
  for (const Entry& check : checks) {
    const auto start = std::chrono::steady_clock::now();
    IsolatedResult isolated = RunIsolated(
        [&] {
          try {
            Lv2PluginHost plugin(reference);
            // Not "R" + text: GCC 12 at -O3 misreads that as an
            // overlapping copy (-Wrestrict).
            std::string answer = "R";
            return answer.append(check.run(plugin));
          } catch (const std::exception& e) {
            return std::string("Rerror: ") + e.what();
          }
        },
        kCheckTimeoutSeconds);
    std::string word = "PASS", detail;
    if (!isolated.completed || isolated.output.empty()) {
      word = "FAIL";
      detail = "the plug-in " + (isolated.failure.empty() ? std::string("gave no answer") : isolated.failure);
    } else if (isolated.output == "RS") {
      word = "SKIP";
      detail = "only from strictness 7";
    } else if (isolated.output.rfind("RP", 0) == 0) {
      detail = isolated.output.substr(2);
    } else if (isolated.output.rfind("RS", 0) == 0) {
      word = "SKIP";
      detail = isolated.output.substr(2);
    } else if (isolated.output.size() > 1) {
      word = "FAIL";
      detail = isolated.output.substr(1);
    }
    report.Line(word, check.name, detail, start);
  }
  return report.Finish();
}

}  // namespace vornhost
