// The bundle binary's only exports: the plug-in's and the UI's descriptor.
#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#include "formats/lv2/lv2_entry.h"

extern "C" {

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return PluginDescriptor(index);
}

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return UiDescriptor(index);
}

}  // extern "C"
