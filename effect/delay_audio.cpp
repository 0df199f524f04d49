// The sound of the delay: reset, init, slider and block sections (the per-sample
// section is in delay_frames.cpp).
#include <algorithm>
#include <cmath>
#include <limits>

#include "effect/morvox_effect.h"
#include "runtime/portable_math.h"
#include "runtime/script_value.h"

namespace {

constexpr double kTwoPi150 = 942.4777960769379;  // 2π × 150 Hz

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
  // allocates. The cells stay zero; the pages become resident on resume.
  ReservePages(0, LineCellsEnd());
}

std::int32_t TMorvoxEffect::LineCellsEnd() const {
  const double lineEnd = RightLineBase(v.maxDelaySamples) + std::floor(v.maxDelaySamples) + 1;
  return morvox::ToIndex(lineEnd) + 1;
}

void TMorvoxEffect::OnResume() {
  TMorvox::OnResume();
  TouchPages(0, LineCellsEnd());
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

void TMorvoxEffect::ClearEchoes() {
  BeginClearEchoes();
  ClearEchoesStep(std::numeric_limits<std::int32_t>::max());
}

void TMorvoxEffect::BeginClearEchoes() {
  // A tempo-synced length is set by the next block; the cells it will
  // reach are those of the quarter notes at the tempo known now (with no
  // tempo known, the longest delay).
  double pending = v.msDelaySamples;
  if (!morvox::IsZero(v.tempoSync)) {
    pending = v.tempo > 0 ? v.sampleRate / (v.tempo / 60) * v.quarterNotes : v.maxDelaySamples;
  }
  const double reach = std::fmax(std::fmax(v.delayLengthLeft, v.delayLengthRight), pending + v.stereoOffset);
  clearNext_ = 0;
  clearEnd_ = std::fmin(std::isfinite(reach) ? reach : v.maxDelaySamples, v.maxDelaySamples) + 2;
  v.wetLeft = v.wetRight = 0;
  v.hpStateLeft = v.hpStateRight = 0;
  v.ladderStateLeft = LadderState{};
  v.ladderStateRight = LadderState{};
  v.levelHold = v.levelEnv = v.levelGain = 0;
}

bool TMorvoxEffect::ClearEchoesStep(std::int32_t cells) {
  // The cells of line k: k = 0 … clearEnd_ − 1 from each line's base, whole
  // numbers far below 2^31.
  const double count = std::fmin(clearEnd_ - clearNext_, std::fmax(static_cast<double>(cells), 0.0));
  if (count > 0) {
    const auto first = morvox::ToIndex(clearNext_);
    const auto n = static_cast<std::int32_t>(std::ceil(count));
    ZeroCells(first, n);
    ZeroCells(morvox::ToIndex(RightLineBase(v.maxDelaySamples)) + first, n);
    clearNext_ += n;
  }
  return !(clearNext_ < clearEnd_);
}

void TMorvoxEffect::SilenceLines() {
  BeginClearEchoes();
  clearEnd_ = clearNext_;
  ZeroCells(0, LineCellsEnd());
}

double TMorvoxEffect::TakeWetPeak() {
  const double peak = wetPeak_;
  wetPeak_ = 0;
  return peak;
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
