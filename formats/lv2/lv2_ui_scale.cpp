#include "formats/lv2/lv2_ui_scale.h"
#include "formats/lv2/lv2_features.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

namespace {

// The option's value as a double, or 0 for a type or size we do not read.
double Number(const LV2_Options_Option& option, LV2_URID floatType, LV2_URID doubleType, LV2_URID intType) {
  if (option.value == nullptr) return 0;
  if (option.type == floatType && option.size == sizeof(float)) {
    float value;
    std::memcpy(&value, option.value, sizeof value);
    return value;
  }
  if (option.type == doubleType && option.size == sizeof(double)) {
    double value;
    std::memcpy(&value, option.value, sizeof value);
    return value;
  }
  if (option.type == intType && option.size == sizeof(std::int32_t)) {
    std::int32_t value;
    std::memcpy(&value, option.value, sizeof value);
    return value;
  }
  return 0;
}

}  // namespace

double Lv2HostScale(const LV2_Feature* const* features) {
  const auto* options =
      static_cast<const LV2_Options_Option*>(lv2feature::Find(features, LV2_OPTIONS__options));
  const auto* map = static_cast<const LV2_URID_Map*>(lv2feature::Find(features, LV2_URID__map));
  if (options == nullptr || map == nullptr || map->map == nullptr) return 0;
  const LV2_URID scaleFactor = map->map(map->handle, LV2_UI__scaleFactor);
  const LV2_URID floatType = map->map(map->handle, LV2_ATOM__Float);
  const LV2_URID doubleType = map->map(map->handle, LV2_ATOM__Double);
  const LV2_URID intType = map->map(map->handle, LV2_ATOM__Int);
  // The list ends with an entry of key 0 (and null value).
  for (const LV2_Options_Option* o = options; o->key != 0 || o->value != nullptr; ++o) {
    if (o->key != scaleFactor) continue;
    const double value = Number(*o, floatType, doubleType, intType);
    return std::isfinite(value) && value > 0 ? value : 0;
  }
  return 0;
}
