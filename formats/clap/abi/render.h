// The render extension: real-time or offline rendering.
#pragma once

#include "formats/clap/abi/core.h"

extern "C" {

constexpr char CLAP_EXT_RENDER[] = "clap.render";

enum {
  CLAP_RENDER_REALTIME = 0,
  CLAP_RENDER_OFFLINE = 1,
};
using clap_plugin_render_mode = int32_t;

struct clap_plugin_render {
  bool(CLAP_ABI* has_hard_realtime_requirement)(const clap_plugin_t* plugin);
  bool(CLAP_ABI* set)(const clap_plugin_t* plugin, clap_plugin_render_mode mode);
};
using clap_plugin_render_t = clap_plugin_render;

}  // extern "C"
