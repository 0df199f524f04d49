// The tail extension: how many frames the output rings on after the input falls silent.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_TAIL[] = "clap.tail";

struct clap_plugin_tail {
  // In frames; INT32_MAX or more means an endless tail.
  uint32_t(CLAP_ABI* get)(const clap_plugin_t* plugin);
};
using clap_plugin_tail_t = clap_plugin_tail;

struct clap_host_tail {
  void(CLAP_ABI* changed)(const clap_host_t* host);
};
using clap_host_tail_t = clap_host_tail;

}  // extern "C"
