// `vornhost demo [OUT]`: the test phrase through Vorn Delay 2 with settings
// that show the effect, written as WAV, with a summary.
#pragma once

#include <string>

namespace vornhost {

struct DemoOptions {
  std::string output = "demo.wav";
  std::string plugin;
  double sampleRate = 44100.0;
  double tempo = 120.0;
};

int RunDemo(const DemoOptions& options);

}  // namespace vornhost
