#include "host/validate_support.h"

#include <algorithm>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <limits>

namespace vornhost::validate {

std::unique_ptr<PluginInstance> Context::Make(double sampleRate, int maxBlock, bool resume) {
  auto plugin = std::make_unique<PluginInstance>(module);
  plugin->Setup(sampleRate, maxBlock);
  if (resume) plugin->Resume();
  return plugin;
}

double SignalSource::Noise() {
  // xorshift32: cheap, allocation-free, the same on every platform.
  state_ ^= state_ << 13;
  state_ ^= state_ >> 17;
  state_ ^= state_ << 5;
  return static_cast<double>(state_) / 4294967295.0 - 0.5;
}

void SignalSource::Fill(double* out, int frames, bool forFloat) {
  for (int i = 0; i < frames; ++i) {
    switch (kind_) {
      case SignalKind::Silence:
        out[i] = 0.0;
        break;
      case SignalKind::Noise:
        out[i] = Noise();
        break;
      case SignalKind::Denormal: {
        double tiny = forFloat ? 1e-40 : 1e-310;
        out[i] = (i & 1) ? tiny : -tiny;
        break;
      }
      case SignalKind::NaN:
        out[i] = std::numeric_limits<double>::quiet_NaN();
        break;
      case SignalKind::Infinity:
        out[i] = (i & 1) ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
        break;
    }
  }
}

Runner::Runner(PluginInstance& plugin, int maxBlock, Precision precision, bool inPlace)
    : processor_(plugin, maxBlock, precision, inPlace), maxBlock_(maxBlock) {
  const auto size = static_cast<std::size_t>(maxBlock);
  in_.assign(static_cast<std::size_t>(plugin.numInputs()), std::vector<double>(size, 0.0));
  out_.assign(static_cast<std::size_t>(plugin.numOutputs()), std::vector<double>(size, 0.0));
  for (auto& c : in_) inPtr_.push_back(c.data());
  for (auto& c : out_) outPtr_.push_back(c.data());
  inPtr_.push_back(nullptr);
  outPtr_.push_back(nullptr);
}

Runner::Stats Runner::Run(SignalSource& source, std::size_t frames, int block,
                          std::vector<std::vector<double>>* keep,
                          const std::function<void(std::size_t)>* beforeBlock, std::mt19937* variable) {
  Stats stats;
  block = std::clamp(block, 1, maxBlock_);
  if (keep != nullptr) keep->assign(out_.size(), std::vector<double>(frames, 0.0));
  const bool forFloat = processor_.precision() == Precision::Float;
  std::size_t done = 0;
  while (done < frames) {
    int n = block;
    if (variable != nullptr) n = std::uniform_int_distribution<int>(1, block)(*variable);
    n = static_cast<int>(std::min<std::size_t>(static_cast<std::size_t>(n), frames - done));
    // Every channel gets its own part of the signal.
    for (auto* channel : inPtr_)
      if (channel != nullptr) source.Fill(channel, n, forFloat);
    if (beforeBlock != nullptr) (*beforeBlock)(done);
    processor_.Run(inPtr_.data(), outPtr_.data(), n, position_);
    for (std::size_t c = 0; c < out_.size(); ++c) {
      const double* o = out_[c].data();
      for (int f = 0; f < n; ++f) {
        double v = o[f];
        if (!std::isfinite(v)) {
          if (stats.finite) stats.firstNonFinite = done + static_cast<std::size_t>(f);
          stats.finite = false;
        } else {
          stats.peak = std::max(stats.peak, std::fabs(v));
        }
      }
      if (keep != nullptr) std::copy(o, o + n, (*keep)[c].begin() + static_cast<std::ptrdiff_t>(done));
    }
    done += static_cast<std::size_t>(n);
    position_ += n;
  }
  return stats;
}

double MaxDifference(const std::vector<std::vector<double>>& a, const std::vector<std::vector<double>>& b) {
  if (a.size() != b.size()) return INFINITY;
  double worst = 0.0;
  for (std::size_t c = 0; c < a.size(); ++c) {
    if (a[c].size() != b[c].size()) return INFINITY;
    for (std::size_t i = 0; i < a[c].size(); ++i) {
      double d = std::fabs(a[c][i] - b[c][i]);
      if (!(d <= worst)) worst = std::isnan(d) ? INFINITY : d;
    }
  }
  return worst;
}

std::string Format(const char* format, ...) {
  char buffer[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

}  // namespace vornhost::validate
