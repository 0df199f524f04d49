// The per-sample section of the delay: the two channels run the same
// arithmetic with their own coefficients, so they run as the two lanes of
// one vector (effect/stereo_lanes.h); the steps that mix the channels (the
// ping-pong crossing, the stereo-linked level control) work on single lanes.
// Every lane operation is the scalar operation it replaces, in the same
// order, so the sound is the same to the last bit on every build.
#include <cmath>
#include <limits>
#include <type_traits>

#include "effect/morvox_effect.h"
#include "effect/stereo_lanes.h"
#include "runtime/script_value.h"

namespace {

using lanes::Both;

// The soft clip y − y³/6 gives back at most 2√2/3 ≈ 0.94281 (at y = ±√2)
// while its input stays within ±2√2. A larger clipped value means the
// input went past that fold, where the cube takes over and the resonance
// loop runs away: the filter has diverged. The bound sits a hair above
// 2√2/3 so rounding at the peak never counts.
constexpr double kClipBound = 0.943;

// Frames per pass of the recursion (see RunFrames): 3 KiB of stack.
constexpr std::int32_t kChunk = 64;

// ToIndex of a delay-line cell. Bases are 0 and the right line's first
// cell, positions are whole numbers that never pass maxDelaySamples + 1,
// and the sample rate is at most 1 MHz: the sum lies in 0 … 12e6 + 3, where
// ToIndex is exactly this truncation.
[[gnu::always_inline]] inline std::int32_t LineIndex(double cell) {
  return static_cast<std::int32_t>(cell + 0.0001);
}

struct LadderLanes {
  Lanes x0p, y1, y2, y3, y4, y1p, y2p, y3p;
};

struct LadderLaneCoefficients {
  Lanes p, k, r;
};

// The four-pole ladders of both channels with their soft clips; answers y4.
[[gnu::always_inline]] inline Lanes RunLadders(LadderLanes& s, const LadderLaneCoefficients& c, Lanes h) {
  const Lanes x = h - c.r * s.y4;
  s.y1 = c.p * x + c.p * s.x0p - c.k * s.y1;
  s.y2 = c.p * s.y1 + c.p * s.y1p - c.k * s.y2;
  s.y3 = c.p * s.y2 + c.p * s.y2p - c.k * s.y3;
  s.y4 = c.p * s.y3 + c.p * s.y3p - c.k * s.y4;
  s.y4 = s.y4 - s.y4 * s.y4 * s.y4 / Both(6.0);
  s.x0p = x;
  s.y1p = s.y1;
  s.y2p = s.y2;
  s.y3p = s.y3;
  return s.y4;
}

// The signal state of both channels, held in registers through a block.
// The level control is one value for both channels; it is kept in both
// lanes, so its steps are lane operations too and its gain applies to both
// channels as it stands.
struct StereoState {
  double positionLeft, positionRight;
  Lanes wet, hp;
  LadderLanes ladders;
  Lanes hold, env, gain;
};

StereoState LoadState(const DelayVariables& v) {
  const LadderState& l = v.ladderStateLeft;
  const LadderState& r = v.ladderStateRight;
  return StereoState{
      v.writePosLeft,
      v.writePosRight,
      Lanes{v.wetLeft, v.wetRight},
      Lanes{v.hpStateLeft, v.hpStateRight},
      LadderLanes{Lanes{l.x0p, r.x0p}, Lanes{l.y1, r.y1}, Lanes{l.y2, r.y2}, Lanes{l.y3, r.y3},
                  Lanes{l.y4, r.y4}, Lanes{l.y1p, r.y1p}, Lanes{l.y2p, r.y2p}, Lanes{l.y3p, r.y3p}},
      Both(v.levelHold),
      Both(v.levelEnv),
      Both(v.levelGain)};
}

void StoreState(const StereoState& s, DelayVariables& v) {
  v.writePosLeft = s.positionLeft;
  v.writePosRight = s.positionRight;
  v.wetLeft = s.wet[0];
  v.wetRight = s.wet[1];
  v.hpStateLeft = s.hp[0];
  v.hpStateRight = s.hp[1];
  const LadderLanes& d = s.ladders;
  v.ladderStateLeft = LadderState{d.x0p[0], d.y1[0], d.y2[0], d.y3[0], d.y4[0], d.y1p[0], d.y2p[0], d.y3p[0]};
  v.ladderStateRight =
      LadderState{d.x0p[1], d.y1[1], d.y2[1], d.y3[1], d.y4[1], d.y1p[1], d.y2p[1], d.y3p[1]};
  v.levelHold = s.hold[0];
  v.levelEnv = s.env[0];
  v.levelGain = s.gain[0];
}

struct LevelCoefficients {
  Lanes hold, attack, release, recovery;
};

// The level control of one frame: it follows |oL| + |oR| / 2 (the same sum
// in both lanes; × 1 is exact) and answers one gain for both channels,
// which gives the frame's wet values. The comparisons select without a
// branch: they follow the signal and would be mispredicted half of the time
// on noise.
[[gnu::always_inline]] inline void RunLevel(StereoState& s, const LevelCoefficients& c, Lanes o) {
  const Lanes weighted = lanes::Abs(o) * Lanes{1.0, 0.5};
  Lanes n = weighted + lanes::Swap(weighted);
  n = lanes::Select(n < s.hold, n + (s.hold - n) * c.hold, n);
  s.hold = n;
  s.env = lanes::Select(n > s.env, n + c.attack * (s.env - n), n + c.release * (s.env - n));
  // The gain decays for as long as the input stays near silent; below the
  // smallest normal number it is 0 (as under the process call's
  // flush-to-zero), so it never lingers among the slow subnormals.
  const Lanes decayed = s.gain * c.recovery;
  const Lanes settled = lanes::Select(decayed < Both(std::numeric_limits<double>::min()), Both(0.0), decayed);
  s.gain = lanes::Select(s.env > Both(0.001), Both(0.891) / (s.env + Both(0.5)), settled);
  s.wet = o * s.gain;
}

}  // namespace

void TMorvoxEffect::RestartDivergedFilters(double& oL, double& oR) {
  if (!(std::fabs(v.ladderStateLeft.y4) <= kClipBound) || !std::isfinite(oL)) {
    v.ladderStateLeft = LadderState{};
    v.hpStateLeft = 0;
    oL = 0;
  }
  if (!(std::fabs(v.ladderStateRight.y4) <= kClipBound) || !std::isfinite(oR)) {
    v.ladderStateRight = LadderState{};
    v.hpStateRight = 0;
    oR = 0;
  }
  // The level control has followed the runaway values (its envelope can
  // reach 1e300 and would take half a minute to release): it starts from
  // rest too, so the echo is back as soon as the input is sane.
  v.levelHold = v.levelEnv = v.levelGain = 0;
}

// With oL and oR finite and the ladders within their clip, the level
// control stays finite: its envelope follows |oL| + |oR| / 2, and the gain
// divides by envelope + 0.5.
template <typename Sample>
void TMorvoxEffect::RunFrames(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR,
                              std::int32_t frames) {
  // Coefficients change only between process calls.
  const bool pingPong = !morvox::IsZero(v.pingPong);
  // Without ping-pong the right line takes its input unscaled (× 1 is exact).
  const Lanes lineGain = pingPong ? Lanes{0.97, 0.92} : Lanes{0.962, 1.0};
  const Lanes feedback = Both(v.feedback);
  const Lanes hpCoef = Both(v.hpCoef);
  const Lanes mix = Both(v.mix);
  const Lanes directShare = Both(v.directShare);
  const Lanes dryGain = Both(v.dryGain);
  const Lanes wetGain = Both(v.wetGain);
  const LadderLaneCoefficients ladder{Lanes{v.ladderLeft.p, v.ladderRight.p},
                                      Lanes{v.ladderLeft.k, v.ladderRight.k},
                                      Lanes{v.ladderLeft.r, v.ladderRight.r}};
  const LevelCoefficients levelCoefficients{Both(v.holdCoef), Both(v.attackCoef), Both(v.releaseCoef),
                                            Both(v.recoveryCoef)};
  const double leftBase = v.leftBase;
  const double rightBase = v.rightBase;
  const double lengthLeft = v.delayLengthLeft;
  const double lengthRight = v.delayLengthRight;

  StereoState s = LoadState(v);
  // The cell each line writes next (the one its last step read) and its
  // index. Bases and positions are whole numbers far below 2^53, so the
  // index of base + position + 1 is the last index + 1: within a page the
  // next cell is the one after the last.
  std::int32_t indexLeft = LineIndex(leftBase + s.positionLeft);
  std::int32_t indexRight = LineIndex(rightBase + s.positionRight);
  double* cellLeft = &Memory(indexLeft);
  double* cellRight = &Memory(indexRight);
  // A line's step: the position advances, or wraps to 0 past the length,
  // and the cell follows it.
  const auto StepCursor = [this](double& position, double length, double base, std::int32_t& index,
                                 double*& cell) {
    if (position > length) {
      position = 0;
      index = LineIndex(base);
      cell = &Memory(index);
    } else {
      position = position + 1;
      index = index + 1;
      cell = (index & (kPageSize - 1)) != 0 ? cell + 1 : &Memory(index);
    }
  };
  WindowsRand rand = rand_;

  // The recursion of one frame waits for the last: the loop over the
  // frames does that recursion alone, on inputs, noise and wet values
  // gathered in short arrays before it and turned into output after it.
  Lanes input[kChunk];
  Lanes noise[kChunk];
  Lanes wet[kChunk];

  // The frames of one chunk. Each frame's line step writes the cell its
  // last step read and reads the next one, which no write of the same frame
  // touches (a line never reads the cell it writes, and the two lines share
  // none), so the reads go first: the ladders of frame j need only them,
  // and they run while the level control of frame j − 1, which the inputs
  // of frame j wait for, is still on its way. Every value is the one of
  // the scalar section's order.
  const auto recurse = [&](std::int32_t count, auto pingPong) {
    StereoState t = s;  // a local copy the compiler keeps in registers
    Lanes previous{};   // frame j − 1's output before the level control
    for (std::int32_t j = 0; j < count; ++j) {
      double* const writeLeft = cellLeft;
      double* const writeRight = cellRight;
      StepCursor(t.positionLeft, lengthLeft, leftBase, indexLeft, cellLeft);
      StepCursor(t.positionRight, lengthRight, rightBase, indexRight, cellRight);
      const Lanes d{*cellLeft, *cellRight};

      t.hp = t.hp + hpCoef * (d - t.hp);
      const Lanes h = d - t.hp;
      const Lanes y4 = RunLadders(t.ladders, ladder, h);
      Lanes o = y4 * mix + h * directShare;

      if (j > 0) {
        RunLevel(t, levelCoefficients, previous);
        wet[j - 1] = t.wet;
      }
      const Lanes x = input[j];
      if constexpr (!decltype(pingPong)::value) {
        const Lanes in = (x + feedback * t.wet + noise[j]) * lineGain;
        *writeLeft = in[0];
        *writeRight = in[1];
      } else {
        // The left line takes the left input with the right wet path fed
        // back, the right line the left wet value alone.
        const Lanes in = lanes::Lows(x + feedback * lanes::Swap(t.wet) + noise[j], t.wet) * lineGain;
        *writeRight = in[1];
        *writeLeft = in[0];
      }

      // The soft clip of the ladder diverges once driven past its fold; a
      // filter beyond what the clip can give back, or an output that left
      // the finite numbers, starts again from rest. x × 0 is 0 for finite x,
      // NaN otherwise; a NaN y4 fails the <= test.
      const Lanes zeroIfFinite = o * Both(0.0);
      if (lanes::AnyNotAtMost(lanes::Abs(y4), Both(kClipBound)) || lanes::AnyNaN(zeroIfFinite)) [[unlikely]] {
        StoreState(t, v);
        double oL = o[0];
        double oR = o[1];
        RestartDivergedFilters(oL, oR);
        t = LoadState(v);
        o = Lanes{oL, oR};
      }
      previous = o;
    }
    RunLevel(t, levelCoefficients, previous);
    wet[count - 1] = t.wet;
    s = t;
  };

  // The largest |wet| of each lane, for the meter; a NaN never wins.
  Lanes peak = Both(0.0);
  for (std::int32_t start = 0; start < frames; start += kChunk) {
    const std::int32_t count = frames - start < kChunk ? frames - start : kChunk;
    const Sample* chunkL = inL + start;
    const Sample* chunkR = inR + start;
    for (std::int32_t j = 0; j < count; ++j) {
      // A sample that is not a number or infinite would poison every
      // recursive path for good; it enters as silence.
      input[j] = lanes::FiniteOrZero(Lanes{static_cast<double>(chunkL[j]), static_cast<double>(chunkR[j])});
      // Keeps the recursive paths away from denormal numbers.
      noise[j] = Both(rand.Next() / 32767.0 * 1e-10);
    }
    if (pingPong) {
      recurse(count, std::true_type{});
    } else {
      recurse(count, std::false_type{});
    }
    // Left: dry − wet; right: wet + dry (the same sum in either order).
    // Every input of the chunk has been read, so in-place buffers are fine.
    Sample* toL = outL + start;
    Sample* toR = outR + start;
    for (std::int32_t j = 0; j < count; ++j) {
      const Lanes magnitude = lanes::Abs(wet[j]);
      peak = lanes::Select(magnitude > peak, magnitude, peak);
      const Lanes out = input[j] * dryGain + lanes::NegateLeft(wet[j] * wetGain);
      toL[j] = static_cast<Sample>(out[0]);
      toR[j] = static_cast<Sample>(out[1]);
    }
  }
  rand_ = rand;
  StoreState(s, v);
  wetPeak_ = std::fmax(wetPeak_, std::fmax(peak[0], peak[1]));
}

void TMorvoxEffect::OnStereoFrames(const float* inL, const float* inR, float* outL, float* outR,
                                   std::int32_t frames) {
  RunFrames(inL, inR, outL, outR, frames);
}

void TMorvoxEffect::OnStereoFrames(const double* inL, const double* inR, double* outL, double* outR,
                                   std::int32_t frames) {
  RunFrames(inL, inR, outL, outR, frames);
}

void TMorvoxEffect::OnSample() {
  double* frame = samples.data();
  RunFrames(frame, frame + 1, frame, frame + 1, 1);
}
