#include "runtime/morvox_description.h"

#include <cmath>
#include <cstdio>

#include "runtime/module_files.h"
#include "runtime/script_value.h"

void CMorvoxDescription::DeclareSlider(std::int32_t number, double* mirror, double defaultValue,
                                       double minimum, double maximum, double step, const std::string& folder,
                                       const std::string& extraText, const std::string& label,
                                       const std::string& name) {
  SliderInfo info;
  info.number = number;
  info.mirror = mirror;
  info.defaultValue = defaultValue;
  info.minimum = minimum;
  info.maximum = maximum;
  info.step = step;
  info.folder = folder;
  info.extraText = extraText;
  info.label = label;
  info.name = name;
  SliderSlot(info) = defaultValue;
  sliders.push_back(std::move(info));

  SliderInfo& added = sliders.back();
  added.prepared = true;
  if (added.folder.empty()) return;
  morvox::LoadFileList(added.folder, added);
  if (added.options.empty()) added.options.push_back("(No Data Files)");
  // A file-list slider ranges over its options.
  added.minimum = 0.0;
  added.maximum = static_cast<double>(added.options.size()) - 1.0;
  added.defaultValue = 0.0;
  added.step = 0.5;
}

void CMorvoxDescription::AddSliderOption(const std::string& text) {
  if (!sliders.empty()) sliders.back().options.push_back(text);
}

const SliderInfo* CMorvoxDescription::SliderAt(std::int32_t index) const {
  if (index < 0 || index >= SliderCount()) return nullptr;
  return &sliders[static_cast<std::size_t>(index)];
}

double CMorvoxDescription::GetNormalisedValue(std::int32_t index) const {
  const SliderInfo* slider = SliderAt(index);
  if (slider == nullptr) return 0.0;
  const double range = slider->maximum - slider->minimum;
  if (!(range > 0.0)) return 0.0;  // a degenerate range has no position
  // A slot set beyond the range (a restored chunk may hold anything) still
  // answers a position the host can use; a NaN counts as the minimum.
  const double position = (SliderSlot(*slider) - slider->minimum) / range;
  return std::fmin(std::fmax(position, 0.0), 1.0);
}

void CMorvoxDescription::SetFromNormalisedValue(std::int32_t index, double x) {
  const SliderInfo* slider = SliderAt(index);
  if (slider == nullptr || !std::isfinite(x)) return;
  // Normalised values lie in 0 … 1; anything beyond is taken as the nearest end.
  x = std::fmin(std::fmax(x, 0.0), 1.0);
  const double raw = slider->minimum + x * (slider->maximum - slider->minimum);
  double v = raw;
  if (slider->step > 0.0) v = std::floor((raw + slider->step * 0.5) / slider->step) * slider->step;
  if (!std::isfinite(v)) return;
  double& slot = sliderValues[SlotOf(*slider)];
  if (v - slot < morvox::kTolerance && slot - v < morvox::kTolerance) return;
  slot = v;
  if (slider->mirror != nullptr) *slider->mirror = v;
  OnSlider();
}

std::int32_t CMorvoxDescription::ParameterIndexOf(std::int32_t number) const {
  for (std::int32_t i = 0; i < SliderCount(); ++i) {
    if (sliders[static_cast<std::size_t>(i)].number == number) return i;
  }
  return -1;
}

void CMorvoxDescription::BeginSliderEdit(std::int32_t number) {
  const std::int32_t index = ParameterIndexOf(number);
  if (index >= 0) morvox::BeginEdit(plugin, index);
}

void CMorvoxDescription::SliderEdited(std::int32_t number) {
  const std::int32_t index = ParameterIndexOf(number);
  if (index >= 0) morvox::ReportEditedValue(plugin, index, GetNormalisedValue(index));
}

void CMorvoxDescription::EndSliderEdit(std::int32_t number) {
  const std::int32_t index = ParameterIndexOf(number);
  if (index >= 0) morvox::EndEdit(plugin, index);
}

std::string CMorvoxDescription::GetParameterDisplayText(std::int32_t index) const {
  const SliderInfo* slider = SliderAt(index);
  if (slider == nullptr) return {};
  return DisplayTextFor(index, SliderSlot(*slider));
}

std::string CMorvoxDescription::DisplayTextFor(std::int32_t index, double value) const {
  const SliderInfo* slider = SliderAt(index);
  if (slider == nullptr) return {};
  const std::size_t n = slider->options.size();
  if (n == 0) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", value);
    return text;
  }
  double k = (value - slider->minimum) * static_cast<double>(n - 1) / (slider->maximum - slider->minimum);
  if (!(k >= 0.0)) k = 0.0;  // negative, or not a number
  const double last = static_cast<double>(n - 1);
  if (k > last) k = last;
  return slider->options[static_cast<std::size_t>(k)];
}

std::string CMorvoxDescription::GetParameterNameText(std::int32_t index) const {
  const SliderInfo* slider = SliderAt(index);
  return slider != nullptr ? slider->name : std::string();
}

std::string CMorvoxDescription::GetParameterLabelText(std::int32_t index) const {
  const SliderInfo* slider = SliderAt(index);
  return slider != nullptr ? slider->label : std::string();
}
