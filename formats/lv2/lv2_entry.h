// The LV2 descriptors of the bundle's binary; the exported lv2_descriptor
// and lv2ui_descriptor answer these.
#pragma once

#include <cstdint>

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

const LV2_Descriptor* PluginDescriptor(std::uint32_t index);
const LV2UI_Descriptor* UiDescriptor(std::uint32_t index);
