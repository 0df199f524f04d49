// The factory presets for CLAP hosts: a preset-discovery factory with one
// provider that lists the 12 presets inside the plug-in (load keys are the
// presets' symbols, "dotted-eighth-ping-pong"), and the preset-load call
// that loads one of them by its key.
#pragma once

#include <cstdint>

#include "formats/clap/abi/preset_discovery.h"

class ClapPlugin;

namespace clappresets {

const clap_preset_discovery_factory_t& DiscoveryFactory();
// [main] False (and nothing changed) for a location that is not ours or an
// unknown key. Tells the host through its preset-load extension.
bool Load(ClapPlugin& plugin, std::uint32_t kind, const char* location, const char* loadKey);

}  // namespace clappresets
