// CMorvoxSliders and CMorvoxSamples: current slider values and the sample
// channels the per-sample section works on.
#pragma once

#include <cstdint>
#include <vector>

#include "runtime/morvox_hoxa.h"

class CMorvoxSliders : public CMorvoxHoxa {
 public:
  static constexpr int kSliderSlots = 128;

  CMorvoxSliders() : sliderValues(kSliderSlots, 0.0) {}
  virtual ~CMorvoxSliders() = default;

  // Runs after a slider value changed from the host, after resume's init
  // and after a state restore. [dispatcher or audio]
  virtual void OnSlider() {}

  std::vector<double> sliderValues;  // slider n at index n
};

class CMorvoxSamples : public CMorvoxSliders {
 public:
  static constexpr int kChannelSlots = 64;

  CMorvoxSamples() : samples(kChannelSlots, 0.0) {}

  virtual void OnBlock() {}   // [audio] once per processing call
  virtual void OnSample() {}  // [audio] once per frame, on `samples`

  // [audio] The frames of a two-channel process call, after OnBlock. An
  // effect that runs both channels at once overrides both; this one runs
  // OnSample per frame. Every input of a frame is read before any output of
  // it is written, so in-place buffers are fine.
  virtual void OnStereoFrames(const float* inL, const float* inR, float* outL, float* outR,
                              std::int32_t frames) {
    SampleEachFrame(inL, inR, outL, outR, frames);
  }
  virtual void OnStereoFrames(const double* inL, const double* inR, double* outL, double* outR,
                              std::int32_t frames) {
    SampleEachFrame(inL, inR, outL, outR, frames);
  }

  std::vector<double> samples;  // channel c at index c

 protected:
  template <typename Sample>
  void SampleEachFrame(const Sample* inL, const Sample* inR, Sample* outL, Sample* outR,
                       std::int32_t frames) {
    for (std::int32_t j = 0; j < frames; ++j) {
      samples[0] = static_cast<double>(inL[j]);
      samples[1] = static_cast<double>(inR[j]);
      OnSample();
      outL[j] = static_cast<Sample>(samples[0]);
      outR[j] = static_cast<Sample>(samples[1]);
    }
  }
};

static_assert(CMorvoxSliders::kSliderSlots == 128 && CMorvoxSamples::kChannelSlots == 64);
