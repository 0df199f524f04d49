// CMorvoxSliders and CMorvoxSamples: current slider values and the sample
// channels the per-sample section works on.
#pragma once

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

  std::vector<double> samples;  // channel c at index c
};

static_assert(CMorvoxSliders::kSliderSlots == 128 && CMorvoxSamples::kChannelSlots == 64);
