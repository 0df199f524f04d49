// `vornhost bench`: processing cost per stereo frame in both precisions,
// real-time factor, worst block against the median block.
#pragma once

#include <string>

namespace vornhost {

struct BenchOptions {
  std::string plugin;
  double seconds = 10.0;
  double sampleRate = 44100.0;
  int blockSize = 512;
};

int RunBench(const BenchOptions& options);

}  // namespace vornhost
