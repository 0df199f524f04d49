// Levels and echo positions of rendered audio, for the demo's summary.
#pragma once

#include <vector>

#include "host/audio_file.h"

namespace vornhost {

struct Level {
  double peak = 0.0;  // linear
  double rms = 0.0;   // linear
};

Level MeasureLevel(const std::vector<double>& channel);

// Decibels relative to full scale (-inf for 0).
double ToDb(double linear);

struct Echo {
  int channel = 0;
  double seconds = 0.0;  // arrival of the echo's peak
  double level = 0.0;    // peak, linear
};

// Echoes of an impulse at frame 0: per channel the local peaks after skip
// seconds that stand out from their neighbourhood (±spacing seconds) and lie
// above floor (linear), in time order.
std::vector<Echo> FindEchoes(const AudioData& response, double skip, double spacing, double floor);

}  // namespace vornhost
