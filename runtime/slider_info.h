// SliderInfo: one declared slider, which the host sees as one parameter.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SliderInfo {
  std::vector<std::string> options;  // display text per whole step; may be empty
  bool prepared = false;
  std::int32_t number = 0;   // index into sliderValues
  double* mirror = nullptr;  // also receives every value accepted from the host
  double defaultValue = 0.0;
  double minimum = 0.0;  // value at normalised 0
  double maximum = 0.0;  // value at normalised 1
  double step = 0.0;     // quantum of the value
  std::string folder;    // data-file folder relative to the module; empty for plain sliders
  std::string extraText;
  std::string label;  // unit label for the host
  std::string name;   // parameter name for the host
};
