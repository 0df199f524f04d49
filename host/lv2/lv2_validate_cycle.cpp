// The checks of `vornhost validate` that walk an LV2 plug-in through what
// hosts do around activation and presets: deactivate then activate must
// forget the sound's history; of two restores the last one wins, even
// with a deactivation between them; and the run() that follows a restore
// stays within the block's time.
#include <algorithm>
#include <cmath>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include <lv2/core/lv2.h>

#include "host/lv2/lv2_validate_checks.h"
#include "host/lv2/lv2_validate_state.h"
#include "host/thread_clock.h"

namespace vornhost {

namespace {

// Quieter than this is silence (-100 dBFS).
constexpr float kSilent = 1e-5f;

// Runs one instance block by block, keeping the output.
class Runner {
 public:
  Runner(Lv2PluginHost& p, int block)
      : plugin_(p),
        block_(block),
        in_(static_cast<std::size_t>(p.numInputs()), std::vector<float>(static_cast<std::size_t>(block))),
        out_(static_cast<std::size_t>(p.numOutputs()), std::vector<float>(static_cast<std::size_t>(block))) {
    for (auto& c : in_) inPtr_.push_back(c.data());
    for (auto& c : out_) outPtr_.push_back(c.data());
  }
  // One block: noise at `level` (0: silence) into every input. Answers the
  // block's output peak; the output is added to `keep` when given.
  float Block(float level, std::vector<float>* keep = nullptr) {
    std::uniform_real_distribution<float> d(-level, level);
    for (auto& c : in_)
      for (float& x : c) x = level > 0 ? d(noise_) : 0.0f;
    plugin_.Process(inPtr_.data(), outPtr_.data(), block_, position_);
    position_ += block_;
    float peak = 0;
    for (auto& c : out_) {
      for (float x : c) peak = std::isfinite(x) ? std::fmax(peak, std::fabs(x)) : INFINITY;
      if (keep != nullptr) keep->insert(keep->end(), c.begin(), c.end());
    }
    return peak;
  }
  // `seconds` of blocks; the largest peak.
  float Run(double seconds, double rate, float level, std::vector<float>* keep = nullptr) {
    float peak = 0;
    const int blocks = static_cast<int>(std::ceil(seconds * rate / block_));
    for (int b = 0; b < blocks; ++b) peak = std::fmax(peak, Block(level, keep));
    return peak;
  }
  // Seconds of processor time of one silent block.
  double TimedBlock() {
    for (auto& c : in_) std::fill(c.begin(), c.end(), 0.0f);
    const double start = ThreadProcessorSeconds();
    plugin_.Process(inPtr_.data(), outPtr_.data(), block_, position_);
    const double used = ThreadProcessorSeconds() - start;
    position_ += block_;
    return used;
  }
  int block() const { return block_; }

 private:
  Lv2PluginHost& plugin_;
  int block_;
  double position_ = 0;
  std::mt19937 noise_{7};
  std::vector<std::vector<float>> in_, out_;
  std::vector<const float*> inPtr_;
  std::vector<float*> outPtr_;
};

void Reactivate(Lv2PluginHost& p) {
  lilv_instance_deactivate(p.Instance());
  lilv_instance_activate(p.Instance());
}

std::string Number(double x, const char* format = "%.3g") {
  char text[32];
  std::snprintf(text, sizeof text, format, x);
  return text;
}

// Two states of the plug-in's that save differently: those of its first
// two presets that do, else (or first, with `extremesFirst`: the most work
// for most plug-ins, the longest lines for a delay) those of every control
// at its minimum and at its maximum. A reason (starting with "S") when
// there are none.
struct TwoStates {
  Lv2State a, b;
  std::string where;  // what they are, for the messages
  std::string skip;
};

TwoStates FindTwoStates(const std::string& reference, bool extremesFirst = false) {
  TwoStates found;
  Lv2PluginHost p(reference);
  p.Start(48000, 256);
  if (Lv2StateOf(p) == nullptr) {
    found.skip = "Sno state interface";
    return found;
  }
  auto saved = [&](auto&& prepare) {
    Lv2PluginHost fresh(reference);
    fresh.Start(48000, 256);
    prepare(fresh);
    Runner(fresh, 256).Run(0.05, 48000, 0.1f);
    return SaveLv2State(fresh);
  };
  std::vector<std::pair<std::string, Lv2State>> candidates;
  for (const auto& [label, uri] : p.Presets()) {
    if (candidates.size() == 2 || extremesFirst) break;
    const std::string presetUri = uri;
    Lv2State state = saved([&](Lv2PluginHost& q) { q.ApplyPreset(presetUri); });
    if (candidates.empty() || !(candidates.front().second == state))
      candidates.emplace_back("preset \"" + label + "\"", std::move(state));
  }
  if (candidates.size() < 2) {
    candidates.clear();
    // Switches off, as "off" is the more work for most (a bypass, say).
    for (bool maximum : {false, true}) {
      Lv2State state = saved([&](Lv2PluginHost& q) {
        for (const Lv2Control& c : q.controls())
          q.Assign(c.symbol + "=" + std::to_string(maximum && !c.toggled ? c.maximum : c.minimum));
      });
      candidates.emplace_back(maximum ? "the controls at their maxima" : "the controls at their minima",
                              std::move(state));
    }
    if (candidates[0].second == candidates[1].second) {
      if (!extremesFirst) {
        found.skip = "Sits saved state does not depend on its presets or controls";
        return found;
      }
      return FindTwoStates(reference, false);
    }
  }
  found.a = candidates[0].second;
  found.b = candidates[1].second;
  found.where = candidates[0].first + " then " + candidates[1].first;
  return found;
}

// What an instance sounds like after `prepare`: a short burst, then
// silence, and what it saves then.
struct Heard {
  std::vector<float> sound;
  Lv2State saved;
};

float LargestDifference(const std::vector<float>& x, const std::vector<float>& y) {
  if (x.size() != y.size()) return INFINITY;
  float largest = 0;
  for (std::size_t i = 0; i < x.size(); ++i) largest = std::fmax(largest, std::fabs(x[i] - y[i]));
  return largest;
}

}  // namespace

std::string CheckLv2ActivateForgets(const std::string& reference) {
  constexpr double kRate = 48000;
  Lv2PluginHost p(reference);
  p.Start(kRate, 256);
  Runner run(p, 256);
  // A fresh instance's answer to silence: what is not history.
  const float quiet = run.Run(0.5, kRate, 0);
  Reactivate(p);
  // A burst, and a little of what follows it, then deactivate and activate.
  run.Run(0.021, kRate, 0.5f);
  run.Run(0.05, kRate, 0);
  Reactivate(p);
  const float floor = std::fmax(kSilent, 2 * quiet);
  const int blocks = static_cast<int>(6.5 * kRate / run.block());
  for (int b = 0; b < blocks; ++b) {
    const float peak = run.Block(0);
    if (peak > floor) {
      return "after deactivate and activate, silence in gives " + Number(peak) + " out " +
             Number(1000.0 * b * run.block() / kRate, "%.0f") + " ms later (the sound from before)";
    }
  }
  return {};
}

std::string CheckLv2LastRestoreWins(const std::string& reference) {
  constexpr double kRate = 48000;
  const TwoStates states = FindTwoStates(reference);
  if (!states.skip.empty()) return states.skip;
  // Run, restore A, deactivate, restore B, activate; against restore B
  // alone (and A alone) at the same place of the same run.
  auto hear = [&](const Lv2State* first, const Lv2State& last) {
    Lv2PluginHost p(reference);
    p.Start(kRate, 256);
    Runner run(p, 256);
    run.Run(0.1, kRate, 0.2f);
    if (first != nullptr) RestoreLv2State(p, *first);
    lilv_instance_deactivate(p.Instance());
    RestoreLv2State(p, last);
    lilv_instance_activate(p.Instance());
    Heard heard;
    run.Run(0.021, kRate, 0.5f, &heard.sound);
    run.Run(1.5, kRate, 0, &heard.sound);
    heard.saved = SaveLv2State(p);
    return heard;
  };
  const Heard both = hear(&states.a, states.b), onlyB = hear(nullptr, states.b),
              onlyA = hear(nullptr, states.a);
  if (!(both.saved == onlyB.saved)) {
    return "restore, deactivate, restore, activate (" + states.where +
           "): " + (both.saved == onlyA.saved ? "it saves the first state" : "it saves neither state");
  }
  const float off = LargestDifference(both.sound, onlyB.sound);
  if (off > kSilent) {
    const bool soundsFirst = LargestDifference(both.sound, onlyA.sound) <= kSilent;
    return "restore, deactivate, restore, activate (" + states.where + "): " +
           (soundsFirst ? "it sounds the first state" : "it sounds " + Number(off) + " off the last state");
  }
  return {};
}

std::string CheckLv2RunAroundRestore(const std::string& reference) {
  // A plug-in without a state of its own is restored as hosts apply a
  // preset to it: through its control ports, here every control swung
  // between its extremes.
  const TwoStates states = FindTwoStates(reference, true);
  const bool ports = !states.skip.empty();
  if (ThreadProcessorSeconds() < 0) return "Sno processor-time clock fine enough to time one block";
  constexpr double kRate = 192000;
  constexpr int kTrials = 15;
  std::string report;
  bool over = false;
  bool hardRt = false;
  for (int block : {64, 32}) {
    Lv2PluginHost p(reference);
    {
      LilvNode* feature = lilv_new_uri(p.World(), LV2_CORE__hardRTCapable);
      hardRt = lilv_plugin_has_feature(p.Plugin(), feature);
      lilv_node_free(feature);
    }
    p.Start(kRate, block);
    Runner run(p, block);
    run.Run(1.0, kRate, 0.5f);
    std::vector<double> steady;
    for (int i = 0; i < 200; ++i) steady.push_back(run.TimedBlock());
    // Each trial: the worst of the runs in the 0.1 s that follow one restore
    // (whichever of them does the restore's work). A trial's worst can also be a
    // moment the machine was busy; the median trial is the plug-in's.
    std::vector<double> worst;
    for (int trial = 0; trial < kTrials; ++trial) {
      run.Run(0.1, kRate, 0.5f);
      if (ports) {
        for (const Lv2Control& c : p.controls())
          p.Assign(c.symbol + "=" + std::to_string(trial % 2 == 0 && !c.toggled ? c.maximum : c.minimum));
      } else {
        RestoreLv2State(p, trial % 2 == 0 ? states.b : states.a);
      }
      // The restore may wait for a fade before it is applied: 0.1 s of runs.
      double largest = 0;
      for (int i = 0; i < static_cast<int>(0.1 * kRate) / block; ++i)
        largest = std::max(largest, run.TimedBlock());
      worst.push_back(largest);
    }
    std::sort(steady.begin(), steady.end());
    std::sort(worst.begin(), worst.end());
    const double budget = block / kRate, typical = steady[steady.size() / 2],
                 median = worst[worst.size() / 2];
    if (!report.empty()) report += "; ";
    report += std::to_string(block) + " frames at 192 kHz: " + Number(median * 1000) + " ms after a " +
              (ports ? "preset's port values, " : "restore, ") + Number(typical * 1000) +
              " ms usually, budget " + Number(budget * 1000) + " ms";
    over = over || median > budget;
  }
  if (over && hardRt) return "over the block's budget though lv2:hardRTCapable: " + report;
  return "P" + report + (over ? " (over budget, but it does not claim lv2:hardRTCapable)" : "");
}

}  // namespace vornhost
