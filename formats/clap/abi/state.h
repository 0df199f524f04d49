// The state extension: the plug-in's state saved to and loaded from a host's stream.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_STATE[] = "clap.state";

struct clap_plugin_state {
  bool(CLAP_ABI* save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
  bool(CLAP_ABI* load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
};
using clap_plugin_state_t = clap_plugin_state;

struct clap_host_state {
  void(CLAP_ABI* mark_dirty)(const clap_host_t* host);
};
using clap_host_state_t = clap_host_state;

}  // extern "C"
