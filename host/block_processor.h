// The host's audio path for one plug-in instance: fixed buffers sized at
// construction, so processing a block allocates nothing.
#pragma once

#include <vector>

#include "host/plugin_instance.h"

namespace vornhost {

enum class Precision { Float, Double };

class BlockProcessor {
 public:
  // inPlace hands the plug-in the same buffers for input and output (the
  // first min(inputs, outputs) channels), as some hosts do.
  BlockProcessor(PluginInstance& plugin, int maxBlock, Precision precision, bool inPlace = false);

  // [audio] Processes frames (1..maxBlock) starting at samplePos. in holds
  // numInputs pointers (a null pointer is silence), out numOutputs pointers.
  // Moves the host's time information to samplePos first.
  void Run(const double* const* in, double* const* out, int frames, double samplePos);

  // [audio] The same with the plug-in's own sample type, for the bench: fill
  // the input buffers, call Process, read the output buffers.
  void ProcessOnly(int frames);
  float* floatInput(int channel) { return floatIn_[static_cast<std::size_t>(channel)]; }
  double* doubleInput(int channel) { return doubleIn_[static_cast<std::size_t>(channel)]; }

  int maxBlock() const { return maxBlock_; }
  Precision precision() const { return precision_; }

 private:
  PluginInstance& plugin_;
  int maxBlock_;
  Precision precision_;
  int inputs_;
  int outputs_;
  std::vector<std::vector<float>> floatStore_;
  std::vector<std::vector<double>> doubleStore_;
  std::vector<float*> floatIn_, floatOut_;
  std::vector<double*> doubleIn_, doubleOut_;
};

}  // namespace vornhost
