// The sound of the delay: reset, init, slider, block and per-sample sections.
#include <algorithm>
#include <cmath>
#include <limits>

#include "effect/morvox_effect.h"
#include "runtime/portable_math.h"
#include "runtime/script_value.h"

namespace {

constexpr double kTwoPi150 = 942.4777960769379;  // 2π × 150 Hz

// The soft clip y − y³/6 gives back at most 2√2/3 ≈ 0.94281 (at y = ±√2)
// while its input stays within ±2√2. A larger clipped value means the
// input went past that fold, where the cube takes over and the resonance
// loop runs away: the filter has diverged. The bound sits a hair above
// 2√2/3 so rounding at the peak never counts.
constexpr double kClipBound = 0.943;

// A value a host handed us that the arithmetic cannot use becomes 0.
double FiniteOrZero(double value) {
  return std::isfinite(value) ? value : 0.0;
}

LadderCoefficients Ladder(double frequency, double spread, double resonance, double sampleRate) {
  LadderCoefficients c;
  const double f = frequency * spread * 2 / sampleRate;
  c.p = f * (1.8 - 0.8 * f);
  c.k = 2 * c.p - 1;
  const double t = (1 - c.p) * 1.386249;
  const double t2 = t * t + 12;
  c.r = resonance * (t2 + 6 * t) / (t2 - 6 * t);
  return c;
}

// The first cell of the right delay line. A line of length L writes and
// reads positions 0 … floor(L) + 1, so at the longest delay the left line
// uses cells 0 … floor(maxDelaySamples) + 1 and the right line starts just
// past them: the two never share a cell.
double RightLineBase(double maxDelaySamples) {
  return std::floor(maxDelaySamples) + 2;
}

// ToIndex of a delay-line cell. Bases are 0 and RightLineBase, positions
// are whole numbers that never pass maxDelaySamples + 1, and the sample
// rate is at most 1 MHz: the sum lies in 0 … 12e6 + 3, where ToIndex is
// exactly this truncation.
[[gnu::always_inline]] inline std::int32_t LineIndex(double cell) {
  return static_cast<std::int32_t>(cell + 0.0001);
}

// One channel of the four-pole ladder with its soft clip; answers y4.
// Inlined: it runs twice per frame.
[[gnu::always_inline]] inline double RunLadder(LadderState& s, const LadderCoefficients& c, double h) {
  const double x = h - c.r * s.y4;
  s.y1 = c.p * x + c.p * s.x0p - c.k * s.y1;
  s.y2 = c.p * s.y1 + c.p * s.y1p - c.k * s.y2;
  s.y3 = c.p * s.y2 + c.p * s.y2p - c.k * s.y3;
  s.y4 = c.p * s.y3 + c.p * s.y3p - c.k * s.y4;
  s.y4 = s.y4 - s.y4 * s.y4 * s.y4 / 6;
  s.x0p = x;
  s.y1p = s.y1;
  s.y2p = s.y2;
  s.y3p = s.y3;
  return s.y4;
}

}  // namespace

void TMorvoxEffect::ResetAudioSide() {
  TMorvox::OnReset();
  v = DelayVariables{};
  rand_.Seed(1);
}

void TMorvoxEffect::OnInit() {
  gfxRate = 30;
  v.gfxR = v.gfxG = v.gfxB = v.gfxA = 0;

  v.sampleRate = FiniteOrZero(morvox::GetSampleRate(plugin));
  // A negative rate (-0 included: dividing by it gives -inf), or one far
  // beyond any audio interface, is not a rate the lines can be sized for;
  // the effect then passes the dry signal.
  if (!(v.sampleRate > 0) || v.sampleRate > 1.0e6) v.sampleRate = 0;
  v.inputCount = FiniteOrZero(morvox::GetNumInputs(plugin));
  v.blockSize = FiniteOrZero(morvox::GetBlockSize(plugin));
  v.tempo = FiniteOrZero(morvox::GetTempo(plugin));
  v.buildLabel = 10000;

  v.maxDelaySamples = 6 * v.sampleRate;
  v.hpCoef = 1 - morvox::Exp(-kTwoPi150 / v.sampleRate);
  v.releaseCoef = morvox::Exp(-1 / (v.sampleRate * 0.05));
  v.recoveryCoef = morvox::Exp(-1 / (v.sampleRate * 3));
  v.holdCoef = morvox::Exp(-1 / (v.sampleRate * 0.02));
  v.stereoOffset = v.sampleRate * 0.00023;

  for (int k = 0; k < kQuarterNoteOptions; ++k) Memory(kQuarterNoteTable + k) = kQuarterNotes[k];

  // Positions from a run at a higher rate start again at the line's head,
  // so no write lands beyond the line's own cells.
  if (!(v.writePosLeft <= v.maxDelaySamples + 1)) v.writePosLeft = 0;
  if (!(v.writePosRight <= v.maxDelaySamples + 1)) v.writePosRight = 0;

  // Create every page both lines can reach now, so the audio thread never
  // allocates. The cells stay zero.
  const double lineEnd = RightLineBase(v.maxDelaySamples) + std::floor(v.maxDelaySamples) + 1;
  TouchPages(0, morvox::ToIndex(lineEnd) + 1);
}

void TMorvoxEffect::OnSlider() {
  for (int n : {1, 2, 3, 4, 5, 6, 7, 8, 10, 11}) v.sliderVar[static_cast<std::size_t>(n)] = LimitedSlider(n);
  RecomputeParameters();
}

double TMorvoxEffect::LimitedSlider(int number) const {
  const double value = sliderValues[static_cast<std::size_t>(number)];
  for (const SliderInfo& slider : sliders) {
    if (slider.number != number) continue;
    if (std::isnan(value)) return slider.defaultValue;
    // The two switches are off or on, as the audio path reads them.
    if (number == 3 || number == 8) return morvox::IsZero(value) ? 0.0 : 1.0;
    return std::fmin(std::fmax(value, slider.minimum), slider.maximum);
  }
  return value;
}

void TMorvoxEffect::RecomputeParameters() {
  // Values restored from a chunk may lie beyond the sliders' ranges; the
  // arithmetic sees them limited, so every gain and length stays finite.
  const auto slider = [this](int n) { return LimitedSlider(n); };
  const double sampleRate = v.sampleRate;

  v.feedback = slider(4) / 100;
  v.quarterNotes = QuarterNotesOf(slider(1));
  v.msDelaySamples = sampleRate / (1 / (slider(2) / 1000));

  v.colorFrequency = slider(5);
  v.resonance = slider(6);
  v.mix = slider(7);
  v.directShare = 1 - slider(7);
  v.pingPong = slider(8);
  v.dryGain = morvox::Pow(10.0, slider(10) / 20);
  v.wetGain = morvox::Pow(10.0, slider(11) / 20);
  v.tempoSync = slider(3);

  const double b = v.feedback - 0.5 > 0 ? (v.feedback - 0.5) * 2 : 0;
  const double g = morvox::Pow(b, 0.01);
  v.attackCoef = morvox::Exp(-1 / ((g * -0.05 + 0.05) * sampleRate));

  v.ladderLeft = Ladder(v.colorFrequency, 1.1, v.resonance, sampleRate);
  v.ladderRight = Ladder(v.colorFrequency, 0.9, v.resonance, sampleRate);

  v.hpCoef = 1 - morvox::Exp((v.mix + 1) * -kTwoPi150 / sampleRate);

  if (morvox::IsZero(v.tempoSync)) ApplyDelayLengths(v.msDelaySamples);
  v.samplesPerBeat = 0;
}

double TMorvoxEffect::QuarterNotesOf(double option) {
  // A restored value beyond the table finds an empty cell, which reads 0.
  const std::int32_t k = morvox::ToIndex(option);
  return k >= 0 && k < kQuarterNoteOptions ? Memory(kQuarterNoteTable + k) : 0.0;
}

void TMorvoxEffect::ApplyDelayLengths(double delaySamples) {
  const double offset = v.stereoOffset;
  const double longest = v.maxDelaySamples;
  // fmax/fmin take a NaN delay as missing, so the lengths stay finite.
  v.delayLengthLeft = std::fmin(std::fmax(delaySamples - offset, 0.0), longest);
  v.delayLengthRight = std::fmin(std::fmax(delaySamples + offset, 2 * offset), longest);
  v.leftBase = 0;
  v.rightBase = RightLineBase(longest);
}

void TMorvoxEffect::OnBlock() {
  double tempo = v.tempo;
  double numerator = v.timeSigNumerator;
  double denominator = v.timeSigDenominator;
  // Without time information from the host the previous values stay.
  if (morvox::GetTempoAndSignature(plugin, tempo, numerator, denominator)) {
    if (std::isfinite(tempo)) v.tempo = tempo;
    v.timeSigNumerator = numerator;
    v.timeSigDenominator = denominator;
  }
  v.playState = (morvox::IsPlaying(plugin) ? 1 : 0) + (morvox::IsRecording(plugin) ? 4 : 0);
  v.playPosition = morvox::GetPlayPosition(plugin);

  if (!morvox::IsZero(v.tempoSync) && morvox::IsZero(v.samplesPerBeat)) {
    v.samplesPerBeat = v.sampleRate / (v.tempo / 60);
    ApplyDelayLengths(v.samplesPerBeat * v.quarterNotes);
  }

  v.meterPeak = std::max({v.meterPeak, std::fabs(v.wetLeft), std::fabs(v.wetRight)});
}

[[gnu::always_inline]] inline double TMorvoxEffect::StepLine(double base, double length, double& position,
                                                             double input) {
  Memory(LineIndex(base + position)) = input;
  position = position > length ? 0 : position + 1;
  return Memory(LineIndex(base + position));
}

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
void TMorvoxEffect::OnSample() {
  // A sample that is not a number or infinite would poison every recursive
  // path for good; it enters as silence.
  const double x0 = FiniteOrZero(samples[0]);
  const double x1 = FiniteOrZero(samples[1]);

  // Keeps the recursive paths away from denormal numbers.
  const double noise = rand_.Next() / 32767.0 * 1e-10;

  double dL;
  double dR;
  if (morvox::IsZero(v.pingPong)) {
    const double inL = x0 + v.feedback * v.wetLeft + noise;
    const double inR = x1 + v.feedback * v.wetRight + noise;
    dL = StepLine(v.leftBase, v.delayLengthLeft, v.writePosLeft, inL * 0.962);
    dR = StepLine(v.rightBase, v.delayLengthRight, v.writePosRight, inR);
  } else {
    const double inL = x0 + v.feedback * v.wetRight + noise;
    dR = StepLine(v.rightBase, v.delayLengthRight, v.writePosRight, v.wetLeft * 0.92);
    dL = StepLine(v.leftBase, v.delayLengthLeft, v.writePosLeft, inL * 0.97);
  }

  v.hpStateLeft = v.hpStateLeft + v.hpCoef * (dL - v.hpStateLeft);
  const double hL = dL - v.hpStateLeft;
  v.hpStateRight = v.hpStateRight + v.hpCoef * (dR - v.hpStateRight);
  const double hR = dR - v.hpStateRight;

  const double y4L = RunLadder(v.ladderStateLeft, v.ladderLeft, hL);
  const double y4R = RunLadder(v.ladderStateRight, v.ladderRight, hR);

  double oL = y4L * v.mix + hL * v.directShare;
  double oR = y4R * v.mix + hR * v.directShare;
  // The soft clip of the ladder diverges once driven past its fold; a
  // filter beyond what the clip can give back, or an output that left the
  // finite numbers, starts again from rest. x × 0 is 0 for finite x, NaN
  // otherwise; a NaN y4 fails the <= test.
  if (!(std::fabs(y4L) <= kClipBound && std::fabs(y4R) <= kClipBound) || std::isnan(oL * 0.0 + oR * 0.0))
      [[unlikely]]
    RestartDivergedFilters(oL, oR);

  double n = std::fabs(oL) + 0.5 * std::fabs(oR);
  if (n < v.levelHold) n = n + (v.levelHold - n) * v.holdCoef;
  v.levelHold = n;
  if (n > v.levelEnv) {
    v.levelEnv = n + v.attackCoef * (v.levelEnv - n);
  } else {
    v.levelEnv = n + v.releaseCoef * (v.levelEnv - n);
  }
  if (v.levelEnv > 0.001) {
    v.levelGain = 0.891 / (v.levelEnv + 0.5);
  } else {
    // The gain decays for as long as the input stays near silent; below the
    // smallest normal number it is 0 (as under the process call's
    // flush-to-zero), so it never lingers among the slow subnormals.
    v.levelGain = v.levelGain * v.recoveryCoef;
    if (v.levelGain < std::numeric_limits<double>::min()) v.levelGain = 0;
  }
  v.wetLeft = oL * v.levelGain;
  v.wetRight = oR * v.levelGain;

  samples[0] = x0 * v.dryGain - v.wetLeft * v.wetGain;
  samples[1] = v.wetRight * v.wetGain + x1 * v.dryGain;
}
