// A CLAP plug-in as a block engine of the render pipeline, with timed
// parameter events, processed on an audio thread of its own.
#pragma once

#include <functional>
#include <vector>

#include "host/audio_file.h"
#include "host/block_processor.h"
#include "host/clap/clap_plugin_host.h"
#include "host/render_pipeline.h"

namespace vornhost {

// plugin must be activated with blocks of up to blockSize. Its events are
// the ones scheduled on it; the plug-in keeps its own frame position, so an
// event lands on its frame whatever the blocks. A process error throws
// HostError.
class ClapBlockEngine : public BlockEngine {
 public:
  ClapBlockEngine(ClapPluginHost& plugin, int blockSize, Precision precision);
  int inputs() const override { return plugin_.numInputs(); }
  int outputs() const override { return plugin_.numOutputs(); }
  void Process(const double* const* in, double* const* out, int frames, double samplePos) override;

 private:
  template <typename Sample>
  void Run(const double* const* in, double* const* out, std::size_t frames,
           std::vector<std::vector<Sample>>& ins, std::vector<std::vector<Sample>>& outs);

  ClapPluginHost& plugin_;
  Precision precision_;
  std::vector<std::vector<float>> in32_, out32_;
  std::vector<std::vector<double>> in64_, out64_;
  std::vector<const float*> inPtr32_;
  std::vector<float*> outPtr32_;
  std::vector<const double*> inPtr64_;
  std::vector<double*> outPtr64_;
};

// Runs work on a thread that is not the plug-in's main thread, as any host
// processes, and rethrows what it threw once it has ended.
void RunOnAudioThread(const std::function<void()>& work);

// A whole signal in memory through an activated plug-in (for the digest):
// events from the start of the input, processing stopped again before it
// returns. The result has the input's rate and format.
AudioData RenderClap(ClapPluginHost& plugin, const AudioData& input, const RenderOptions& options,
                     std::vector<ClapParamEvent> events);

}  // namespace vornhost
