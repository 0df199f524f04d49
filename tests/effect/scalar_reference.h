// ScalarReferenceEffect: the delay with its per-frame arithmetic as it was
// written before the two channels shared one vector: one channel after the
// other, in scalar doubles, through OnSample once per frame. Tests render
// the same cases through it and through the plug-in and compare every bit.
#pragma once

#include "effect/morvox_effect.h"

class ScalarReferenceEffect : public TMorvoxEffect {
 public:
  void OnSample() override;
  void OnStereoFrames(const float* inL, const float* inR, float* outL, float* outR,
                      std::int32_t frames) override {
    SampleEachFrame(inL, inR, outL, outR, frames);
  }
  void OnStereoFrames(const double* inL, const double* inR, double* outL, double* outR,
                      std::int32_t frames) override {
    SampleEachFrame(inL, inR, outL, outR, frames);
  }

 private:
  double ReferenceStep(double base, double length, double& position, double input);
  void ReferenceRestart(double& oL, double& oR);
};
