// `vornhost info`: what a plug-in says about itself.
#pragma once

#include <string>

namespace vornhost {

struct InfoOptions {
  std::string plugin;
  bool json = false;
  double sampleRate = 44100.0;
  int blockSize = 512;
};

int RunInfo(const InfoOptions& options);

}  // namespace vornhost
