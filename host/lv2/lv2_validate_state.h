// A plug-in's state as the LV2 checks of `vornhost validate` hold it: the
// properties its state interface stores, saved and restored as a host
// does, without files.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include <lv2/state/state.h>

#include "host/lv2/lv2_plugin_host.h"

namespace vornhost {

struct Lv2Property {
  std::uint32_t type = 0, flags = 0;
  std::vector<std::uint8_t> value;
  bool operator==(const Lv2Property& o) const { return type == o.type && value == o.value; }
};
using Lv2State = std::map<std::uint32_t, Lv2Property>;

// The running instance's state interface, or null.
const LV2_State_Interface* Lv2StateOf(Lv2PluginHost& p);
// What save() stores; `status` gets save()'s answer.
Lv2State SaveLv2State(Lv2PluginHost& p, LV2_State_Status* status = nullptr);
// restore() with the values in the host's memory; its answer.
LV2_State_Status RestoreLv2State(Lv2PluginHost& p, const Lv2State& state);

}  // namespace vornhost
