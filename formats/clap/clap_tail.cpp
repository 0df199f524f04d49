// The tail a host renders after the input ends: how long the echoes of the
// current settings stay audible.
#include <cmath>
#include <cstdint>

#include "effect/morvox_effect.h"
#include "formats/clap/clap_plugin.h"

std::uint32_t ClapPlugin::TailFrames() const {
  const double rate = sampleRate_;
  const double feedback = std::fmin(std::fmax(PublishedValue(3) / 100.0, 0.0), 1.0);
  double seconds = PublishedValue(1) / 1000.0;
  const double tempo = publishedTempo_.load(std::memory_order_relaxed);
  if (PublishedValue(2) >= 0.5) {
    const auto option = static_cast<int>(PublishedValue(0));
    const double quarters = option >= 0 && option < TMorvoxEffect::kQuarterNoteOptions
                                ? TMorvoxEffect::kQuarterNotes[option]
                                : 0.0;
    seconds = tempo > 0 ? quarters * 60.0 / tempo : 0.0;
  }
  seconds = std::fmin(std::fmax(seconds, 0.0), 6.0);
  // Each pass round the loop gives back at most the feedback times the
  // line's gain times the level control's largest gain; when that reaches
  // 1 the echoes can sustain themselves.
  const double loop = feedback * kTailLineGain * kTailLevelGain;
  if (loop >= 1.0) return UINT32_MAX;
  double passes = 1.0;
  if (loop > 0.0) passes += std::ceil(std::log(kTailFloor) / std::log(loop));
  const double total = passes * seconds + kTailRingSeconds;
  const double frames = std::ceil(total * rate);
  return frames >= static_cast<double>(UINT32_MAX - 1) ? UINT32_MAX - 1 : static_cast<std::uint32_t>(frames);
}
