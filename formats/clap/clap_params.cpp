#include "formats/clap/clap_params.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "effect/morvox_effect.h"
#include "formats/clap/clap_plugin.h"

namespace clapparams {

namespace {

constexpr char kBypassName[] = "Bypass";

void CopyText(char* buffer, std::uint32_t capacity, std::string_view text) {
  if (buffer == nullptr || capacity == 0) return;
  const std::size_t n = std::min<std::size_t>(text.size(), capacity - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

std::string Trimmed(const char* text) {
  std::string_view s(text);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  std::string lower(s);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

bool IsSwitch(const SliderInfo& slider) {
  return slider.options.empty() && slider.minimum == 0 && slider.maximum == 1 && slider.step == 1;
}

}  // namespace

std::uint32_t Count() {
  return ClapPlugin::kParamCount;
}

bool Info(const TMorvoxEffect& script, std::uint32_t index, clap_param_info_t& info) {
  if (index >= Count()) return false;
  info = clap_param_info_t{};
  info.id = index;
  info.cookie = nullptr;
  if (index == ClapPlugin::kBypassParam) {
    info.flags = CLAP_PARAM_IS_AUTOMATABLE | CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_BYPASS;
    CopyText(info.name, sizeof info.name, kBypassName);
    info.min_value = 0;
    info.max_value = 1;
    info.default_value = 0;
    return true;
  }
  const SliderInfo* slider = script.SliderAt(static_cast<std::int32_t>(index));
  if (slider == nullptr) return false;
  info.flags = CLAP_PARAM_IS_AUTOMATABLE;
  // The quarter-note list and the switches take whole steps only.
  if (!slider->options.empty()) info.flags |= CLAP_PARAM_IS_STEPPED | CLAP_PARAM_IS_ENUM;
  if (IsSwitch(*slider)) info.flags |= CLAP_PARAM_IS_STEPPED;
  CopyText(info.name, sizeof info.name, slider->name);
  info.min_value = slider->minimum;
  info.max_value = slider->maximum;
  info.default_value = slider->defaultValue;
  return true;
}

bool Quantised(const TMorvoxEffect& script, clap_id id, double value, double& out) {
  if (std::isnan(value)) return false;
  if (id == ClapPlugin::kBypassParam) {
    out = value >= 0.5 ? 1.0 : 0.0;
    return true;
  }
  const SliderInfo* slider = script.SliderAt(static_cast<std::int32_t>(id));
  if (slider == nullptr || id >= ClapPlugin::kSliderParams) return false;
  const double range = slider->maximum - slider->minimum;
  if (!(range > 0.0)) return false;
  // The arithmetic of a host's normalised value, so both formats land on
  // the same step.
  const double x = std::fmin(std::fmax((value - slider->minimum) / range, 0.0), 1.0);
  double v = slider->minimum + x * range;
  if (slider->step > 0.0) v = std::floor((v + slider->step * 0.5) / slider->step) * slider->step;
  if (!std::isfinite(v)) return false;
  out = v;
  return true;
}

bool ValueToText(const TMorvoxEffect& script, clap_id id, double value, char* buffer,
                 std::uint32_t capacity) {
  if (buffer == nullptr || capacity == 0) return false;
  double v = 0;
  if (!Quantised(script, id, value, v)) return false;
  if (id == ClapPlugin::kBypassParam) {
    CopyText(buffer, capacity, v >= 0.5 ? "On" : "Off");
    return true;
  }
  CopyText(buffer, capacity, script.DisplayTextFor(static_cast<std::int32_t>(id), v));
  return true;
}

bool TextToValue(const TMorvoxEffect& script, clap_id id, const char* text, double& value) {
  if (text == nullptr) return false;
  const std::string typed = Trimmed(text);
  if (typed.empty()) return false;
  const SliderInfo* slider =
      id < ClapPlugin::kSliderParams ? script.SliderAt(static_cast<std::int32_t>(id)) : nullptr;
  if (id == ClapPlugin::kBypassParam || (slider != nullptr && IsSwitch(*slider))) {
    if (typed == "on") return (value = 1.0), true;
    if (typed == "off") return (value = 0.0), true;
  }
  if (slider != nullptr && !slider->options.empty()) {
    const std::size_t n = slider->options.size();
    for (std::size_t k = 0; k < n; ++k) {
      if (Trimmed(slider->options[k].c_str()) != typed) continue;
      const double span = n > 1 ? static_cast<double>(n - 1) : 1.0;
      return Quantised(script, id,
                       slider->minimum + static_cast<double>(k) * (slider->maximum - slider->minimum) / span,
                       value);
    }
    return false;  // a list takes its own texts only
  }
  if (id != ClapPlugin::kBypassParam && slider == nullptr) return false;
  // The number as the display writes it, whatever the process's locale.
  const char* first = typed.c_str();
  if (*first == '+') ++first;
  double number = 0;
  const auto [end, error] = std::from_chars(first, typed.c_str() + typed.size(), number);
  if (error != std::errc() || end == first || !std::isfinite(number)) return false;
  return Quantised(script, id, number, value);
}

}  // namespace clapparams
