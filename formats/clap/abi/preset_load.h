// The preset-load extension: the host asks the plug-in to load a preset that a preset-discovery provider
// listed.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_PRESET_LOAD[] = "clap.preset-load/2";
constexpr char CLAP_EXT_PRESET_LOAD_COMPAT[] = "clap.preset-load.draft/2";

struct clap_plugin_preset_load {
  // location_kind is a clap_preset_discovery_location_kind; location is null
  // for presets inside the plug-in, whose load_key names them.
  bool(CLAP_ABI* from_location)(const clap_plugin_t* plugin, uint32_t location_kind, const char* location,
                                const char* load_key);
};
using clap_plugin_preset_load_t = clap_plugin_preset_load;

struct clap_host_preset_load {
  void(CLAP_ABI* on_error)(const clap_host_t* host, uint32_t location_kind, const char* location,
                           const char* load_key, int32_t os_error, const char* msg);
  void(CLAP_ABI* loaded)(const clap_host_t* host, uint32_t location_kind, const char* location,
                         const char* load_key);
};
using clap_host_preset_load_t = clap_host_preset_load;

}  // extern "C"
