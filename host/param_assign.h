// --param NAME_OR_INDEX=VALUE: finds the parameter and the normalised value
// to set. A number as the key is an index and its value is normalised
// (0..1); a name's value is in the plug-in's own terms, found by reading
// the plug-in's display texts.
#pragma once

#include <string>

#include "host/plugin_instance.h"

namespace vornhost {

struct ParamAssignment {
  int index = 0;
  float value = 0.0f;    // normalised
  std::string display;   // what the plug-in displays for it
  bool nearest = false;  // the exact value is not offered; the nearest one is used
};

// [dispatcher] Resolves assignment against plugin; probes by setting values, so
// the parameter holds an arbitrary value afterwards: apply the result.
// Throws HostError for a malformed assignment, an unknown name or an out-of-range
// value.
ParamAssignment ResolveParam(PluginInstance& plugin, const std::string& assignment);

// Resolves and sets; a nearest-value note goes to stderr.
void ApplyParam(PluginInstance& plugin, const std::string& assignment);

// Parses the leading number of a display text ("-12.5 dB" gives -12.5);
// false when there is none. decimals receives the number of digits after
// the decimal point.
bool ParseDisplayNumber(const std::string& text, double& value, int& decimals);

}  // namespace vornhost
