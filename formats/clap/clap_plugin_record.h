// The clap_plugin_t record of an instance: its calls pass to the
// ClapPlugin, and no exception crosses into the host.
#pragma once

#include "formats/clap/abi/core.h"

class ClapPlugin;

namespace clapplugin {

clap_plugin_t MakeRecord(ClapPlugin* plugin);

}  // namespace clapplugin
