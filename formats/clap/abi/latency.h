// The latency extension: the frames by which the plug-in delays its output.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_LATENCY[] = "clap.latency";

struct clap_plugin_latency {
  uint32_t(CLAP_ABI* get)(const clap_plugin_t* plugin);
};
using clap_plugin_latency_t = clap_plugin_latency;

struct clap_host_latency {
  void(CLAP_ABI* changed)(const clap_host_t* host);
};
using clap_host_latency_t = clap_host_latency;

}  // extern "C"
