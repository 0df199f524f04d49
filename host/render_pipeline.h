// Runs a whole signal through a resumed plug-in block by block and renders
// a tail after it.
#pragma once

#include "host/audio_file.h"
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

// Renders input through plugin, which must be set up for the input's sample
// rate and options.blockSize and resumed. Plug-in input i reads file channel
// min(i, channels - 1), so a mono file feeds every input. The result has
// one channel per plug-in output, the input's rate and format.
AudioData Render(PluginInstance& plugin, const AudioData& input, const RenderOptions& options);

}  // namespace vornhost
