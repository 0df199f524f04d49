// Builds one plug-in instance for a host; null when the host answers 0 to
// the version query. Both exported entry points call this.
#pragma once

#include "vst/vst24.h"

AEffect* CreatePluginInstance(audioMasterCallback audioMaster) noexcept;
