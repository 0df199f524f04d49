#include "tests/effect/scalar_reference.h"

#include <cmath>
#include <limits>

#include "runtime/script_value.h"

namespace {

constexpr double kClipBound = 0.943;

double FiniteOrZero(double value) {
  return std::isfinite(value) ? value : 0.0;
}

std::int32_t LineIndex(double cell) {
  return static_cast<std::int32_t>(cell + 0.0001);
}

double RunLadder(LadderState& s, const LadderCoefficients& c, double h) {
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

double ScalarReferenceEffect::ReferenceStep(double base, double length, double& position, double input) {
  Memory(LineIndex(base + position)) = input;
  position = position > length ? 0 : position + 1;
  return Memory(LineIndex(base + position));
}

void ScalarReferenceEffect::ReferenceRestart(double& oL, double& oR) {
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
  v.levelHold = v.levelEnv = v.levelGain = 0;
}

void ScalarReferenceEffect::OnSample() {
  const double x0 = FiniteOrZero(samples[0]);
  const double x1 = FiniteOrZero(samples[1]);
  const double noise = rand_.Next() / 32767.0 * 1e-10;

  double dL;
  double dR;
  if (morvox::IsZero(v.pingPong)) {
    const double inL = x0 + v.feedback * v.wetLeft + noise;
    const double inR = x1 + v.feedback * v.wetRight + noise;
    dL = ReferenceStep(v.leftBase, v.delayLengthLeft, v.writePosLeft, inL * 0.962);
    dR = ReferenceStep(v.rightBase, v.delayLengthRight, v.writePosRight, inR);
  } else {
    const double inL = x0 + v.feedback * v.wetRight + noise;
    dR = ReferenceStep(v.rightBase, v.delayLengthRight, v.writePosRight, v.wetLeft * 0.92);
    dL = ReferenceStep(v.leftBase, v.delayLengthLeft, v.writePosLeft, inL * 0.97);
  }

  v.hpStateLeft = v.hpStateLeft + v.hpCoef * (dL - v.hpStateLeft);
  const double hL = dL - v.hpStateLeft;
  v.hpStateRight = v.hpStateRight + v.hpCoef * (dR - v.hpStateRight);
  const double hR = dR - v.hpStateRight;

  const double y4L = RunLadder(v.ladderStateLeft, v.ladderLeft, hL);
  const double y4R = RunLadder(v.ladderStateRight, v.ladderRight, hR);

  double oL = y4L * v.mix + hL * v.directShare;
  double oR = y4R * v.mix + hR * v.directShare;
  if (!(std::fabs(y4L) <= kClipBound && std::fabs(y4R) <= kClipBound) || std::isnan(oL * 0.0 + oR * 0.0))
    ReferenceRestart(oL, oR);

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
    v.levelGain = v.levelGain * v.recoveryCoef;
    if (v.levelGain < std::numeric_limits<double>::min()) v.levelGain = 0;
  }
  v.wetLeft = oL * v.levelGain;
  v.wetRight = oR * v.levelGain;

  samples[0] = x0 * v.dryGain - v.wetLeft * v.wetGain;
  samples[1] = v.wetRight * v.wetGain + x1 * v.dryGain;
}
