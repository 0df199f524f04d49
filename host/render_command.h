// `vornhost render IN OUT [PLUGIN]`: a file through a plug-in.
#pragma once

#include <string>
#include <vector>

#include "host/block_processor.h"
#include "host/host_callback.h"

namespace vornhost {

struct RenderCommandOptions {
  std::string input, output, plugin;
  std::vector<std::string> params;  // NAME_OR_INDEX=VALUE
  Transport transport;
  double sampleRate = 0.0;  // 0: the file's rate
  int blockSize = 512;
  Precision precision = Precision::Float;
  double tailSeconds = -1.0;  // negative: automatic
  std::string loadState, saveState;
  std::string preset;  // a preset's name or file, applied after loadState
};

int RunRender(const RenderCommandOptions& options);

// Fails early, before any work, when path cannot be created.
void CheckWritable(const std::string& path);

}  // namespace vornhost
