// Runs a signal through a plug-in block by block and renders a tail after
// it. The signal streams from a source to a sink, so memory stays the same
// whatever the length; the plug-in is anything that processes blocks.
#pragma once

#include <cstddef>

#include "host/audio_file.h"
#include "host/audio_stream.h"
#include "host/block_processor.h"
#include "host/plugin_instance.h"

namespace vornhost {

struct RenderOptions {
  int blockSize = 512;
  Precision precision = Precision::Float;
  // Seconds rendered after the input. Negative: until the output has stayed
  // below -96 dBFS for kAutoTailQuiet seconds (at most kAutoTailMax), then
  // trimmed after its last audible frame.
  double tailSeconds = -1.0;
  bool progress = false;  // progress bar on stderr (shown on terminals only)
};

constexpr double kAutoTailQuiet = 6.5;  // longer than the longest echo gap of a 6 s delay
constexpr double kAutoTailMax = 30.0;

// A plug-in set up for the source's rate and the block size, and started.
class BlockEngine {
 public:
  virtual ~BlockEngine() = default;
  virtual int inputs() const = 0;
  virtual int outputs() const = 0;
  // frames in 1..blockSize; in holds inputs() pointers (null: silence),
  // out outputs() pointers. samplePos is the first frame's position.
  virtual void Process(const double* const* in, double* const* out, int frames, double samplePos) = 0;
};

struct RenderResult {
  std::size_t inputFrames = 0;
  std::size_t outputFrames = 0;
};

// Streams source through engine into sink. Plug-in input i reads source
// channel min(i, channels - 1), so a mono file feeds every input; the sink
// gets one channel per plug-in output. Blocks end exactly where the input
// ends, so the tail starts on a block.
RenderResult Render(BlockEngine& engine, AudioSource& source, AudioSink& sink, const RenderOptions& options);

// The same with the whole signal in memory. The result has the input's
// rate and format.
AudioData Render(BlockEngine& engine, const AudioData& input, const RenderOptions& options);

// The same for a VST plug-in, set up for the input's sample rate and
// options.blockSize and resumed, with the whole signal in memory. The result
// has the input's rate and format.
AudioData Render(PluginInstance& plugin, const AudioData& input, const RenderOptions& options);

// A VST plug-in as a block engine, in the given precision.
class VstBlockEngine : public BlockEngine {
 public:
  VstBlockEngine(PluginInstance& plugin, int blockSize, Precision precision)
      : plugin_(plugin), processor_(plugin, blockSize, precision) {}
  int inputs() const override { return plugin_.numInputs(); }
  int outputs() const override { return plugin_.numOutputs(); }
  void Process(const double* const* in, double* const* out, int frames, double samplePos) override {
    processor_.Run(in, out, frames, samplePos);
  }

 private:
  PluginInstance& plugin_;
  BlockProcessor processor_;
};

}  // namespace vornhost
