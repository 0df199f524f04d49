#include "effect/bypass_fade.h"

#include <cmath>

BypassFade::BypassFade() {
  for (auto& channel : dry_) channel.assign(kPassFrames, 0.0f);
  gains_.assign(kPassFrames, 1.0);
}

void BypassFade::SetSampleRate(double sampleRate) {
  const double frames = std::floor(sampleRate * kRampSeconds);
  step_ = frames >= 1.0 && std::isfinite(frames) ? 1.0 / frames : 1.0;
}

void BypassFade::SetTargets(bool enabled, bool holdDry) {
  target_ = enabled && !holdDry ? 1.0 : 0.0;
}

void BypassFade::Ramp(std::uint32_t frames) {
  for (std::uint32_t i = 0; i < frames; ++i) {
    if (gain_ < target_) {
      gain_ = std::fmin(gain_ + step_, target_);
    } else if (gain_ > target_) {
      gain_ = std::fmax(gain_ - step_, target_);
    }
    gains_[i] = gain_;
  }
}

void BypassFade::Blend(float* const out[2], std::uint32_t frames) {
  for (std::uint32_t i = 0; i < frames; ++i) {
    for (int c = 0; c < 2; ++c) {
      const double dry = dry_[c][i];
      out[c][i] = static_cast<float>(dry + gains_[i] * (static_cast<double>(out[c][i]) - dry));
    }
  }
}
