#include "host/signal_stats.h"

#include <algorithm>
#include <cmath>

namespace vornhost {

Level MeasureLevel(const std::vector<double>& channel) {
  Level level;
  double sum = 0.0;
  for (double v : channel) {
    level.peak = std::max(level.peak, std::fabs(v));
    sum += v * v;
  }
  level.rms = channel.empty() ? 0.0 : std::sqrt(sum / static_cast<double>(channel.size()));
  return level;
}

double ToDb(double linear) {
  return linear > 0.0 ? 20.0 * std::log10(linear) : -INFINITY;
}

std::vector<Echo> FindEchoes(const AudioData& response, double skip, double spacing, double floor) {
  std::vector<Echo> echoes;
  const double rate = response.sampleRate;
  const auto skipFrames = static_cast<std::size_t>(skip * rate);
  const auto radius = static_cast<std::size_t>(spacing * rate);
  for (int c = 0; c < response.channelCount(); ++c) {
    const std::vector<double>& x = response.channels[static_cast<std::size_t>(c)];
    std::size_t i = skipFrames;
    while (i < x.size()) {
      double v = std::fabs(x[i]);
      if (v <= floor) {
        ++i;
        continue;
      }
      // The loudest frame of the neighbourhood that starts here is the echo.
      std::size_t end = std::min(x.size(), i + radius);
      std::size_t best = i;
      for (std::size_t k = i; k < end; ++k)
        if (std::fabs(x[k]) > std::fabs(x[best])) best = k;
      echoes.push_back({c, static_cast<double>(best) / rate, std::fabs(x[best])});
      i = best + radius;
    }
  }
  std::sort(echoes.begin(), echoes.end(), [](const Echo& a, const Echo& b) { return a.seconds < b.seconds; });
  return echoes;
}

}  // namespace vornhost
