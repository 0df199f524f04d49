// The bundle's Turtle, written from the effect's own description (names,
// ranges, defaults, units, options), so the LV2 ports can never disagree
// with the VST parameters.
#pragma once

#include <string>

#include "runtime/morvox_description.h"

namespace lv2turtle {

// One slider as an LV2 control port sees it.
struct ControlPortText {
  std::string name;    // the slider's name without a unit or switch suffix
  std::string symbol;  // the name in lower case, words joined by '_'
  std::string unit;    // "units:ms" …, empty for none
  bool toggled = false;
};
ControlPortText DescribeControl(const SliderInfo& slider);

// binary: the plug-in binary's file name inside the bundle.
std::string Manifest(const std::string& binary);
std::string PluginDescription(const CMorvoxDescription& effect);
std::string UiDescription(const std::string& binary);
// The bypass port (lv2:enabled), appended to the plug-in's port list.
std::string EnabledPort();

}  // namespace lv2turtle
