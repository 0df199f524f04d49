// A whole signal through an activated CLAP plug-in on an audio thread of
// its own, block by block, with timed parameter events, and a tail after it.
#pragma once

#include <vector>

#include "host/audio_file.h"
#include "host/block_processor.h"
#include "host/clap/clap_plugin_host.h"

namespace vornhost {

struct ClapRenderOptions {
  int blockSize = 512;
  Precision precision = Precision::Float;
  // Seconds after the input; negative: until the output has stayed quiet
  // for kAutoTailQuiet seconds (at most kAutoTailMax), then trimmed.
  double tailSeconds = -1.0;
  std::vector<ClapParamEvent> events;  // frames from the start of the input
};

// plugin must be activated at input's rate with blocks of up to
// options.blockSize. Plug-in input i reads file channel min(i, channels - 1).
// Processing is stopped again before it returns.
AudioData RenderClap(ClapPluginHost& plugin, const AudioData& input, const ClapRenderOptions& options);

}  // namespace vornhost
