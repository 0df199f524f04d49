// The timer-support extension: main-thread timers that the host's event loop runs.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";

struct clap_plugin_timer_support {
  void(CLAP_ABI* on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
};
using clap_plugin_timer_support_t = clap_plugin_timer_support;

struct clap_host_timer_support {
  bool(CLAP_ABI* register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
  bool(CLAP_ABI* unregister_timer)(const clap_host_t* host, clap_id timer_id);
};
using clap_host_timer_support_t = clap_host_timer_support;

}  // extern "C"
