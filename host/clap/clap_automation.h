// --automate NAME=TIME:VALUE,TIME:VALUE,...: timed parameter changes for a
// CLAP render. TIME is seconds from the input's start ("0.25") or a frame
// ("11025f"); VALUE is in the plug-in's terms, as for --param. Each change
// lands on its frame: the plug-in splits its block there.
#pragma once

#include <string>
#include <vector>

#include "host/clap/clap_plugin_host.h"

namespace vornhost {

// Throws HostError for a malformed list, an unknown parameter or a value
// out of range.
std::vector<ClapParamEvent> ParseAutomation(const ClapPluginHost& plugin, const std::string& automation,
                                            double sampleRate);

}  // namespace vornhost
