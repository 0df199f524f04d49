// The checks of `vornhost validate` for CLAP plug-ins. Each loads the
// module itself (it runs in a process of its own, so a crash is a
// failure) and answers "" for a pass, "S…" for a skip (the rest says why),
// or what failed.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/clap/clap_plugin_host.h"

namespace vornhost::clap_validate {

struct Target {
  std::string path, pluginId;
  int strictness = 5;
  unsigned seed = 1;
};

// Runs job on a thread of its own, the plug-in's audio thread, and waits.
void OnAudioThread(const std::function<void()>& job);

// Drives an activated plug-in with noise (or a fixed signal) in buffers
// that carry a guard zone after the frames handed over, so writes past a
// block's end are seen.
class Driver {
 public:
  Driver(ClapPluginHost& plugin, std::uint32_t maxBlock, unsigned seed = 1);
  // [audio] One block; false after an error status.
  bool Block(std::uint32_t frames);
  bool finite() const { return finite_; }
  bool guardsIntact() const { return guards_; }
  float peak() const { return peak_; }
  void SetInput(float value) { fixed_ = value, useFixed_ = true; }
  void SetNoise() { useFixed_ = false; }

 private:
  static constexpr std::size_t kGuard = 64;
  static constexpr float kCanary = 1234.5f;
  ClapPluginHost& plugin_;
  std::uint32_t maxBlock_;
  std::uint32_t state_;
  std::vector<std::vector<float>> in_, out_;
  std::vector<const float*> inPtr_;
  std::vector<float*> outPtr_;
  bool finite_ = true, guards_ = true, useFixed_ = false;
  float fixed_ = 0, peak_ = 0;
};

std::string CheckEntry(const Target& t);
std::string CheckDescriptors(const Target& t);
std::string CheckUnknownId(const Target& t);
std::string CheckOrders(const Target& t);
std::string CheckZeroFrames(const Target& t);
std::string CheckBlocksAndRates(const Target& t);
std::string CheckNoAllocation(const Target& t);
std::string CheckBadInput(const Target& t);
std::string CheckParamInfo(const Target& t);
std::string CheckFlushInactive(const Target& t);
std::string CheckFlushProcessing(const Target& t);
std::string CheckStateStreams(const Target& t);
std::string CheckGarbageState(const Target& t);
std::string CheckGuiWithDisplay(const Target& t);
std::string CheckGuiWithoutDisplay(const Target& t);

}  // namespace vornhost::clap_validate
