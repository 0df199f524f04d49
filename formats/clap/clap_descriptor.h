// The plug-in's CLAP descriptor and the ids hosts know it by.
#pragma once

#include "formats/clap/abi/core.h"

namespace clapplugin {

inline constexpr char kPluginId[] = "com.fenmoor.vorn-delay-2";
const clap_plugin_descriptor_t& Descriptor();

}  // namespace clapplugin
