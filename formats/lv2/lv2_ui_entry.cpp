// The LV2 UI descriptor: X11 UI with the host-driven idle interface.
#include <string_view>

#include <lv2/ui/ui.h>

#include "formats/lv2/lv2_entry.h"
#include "formats/lv2/lv2_ports.h"
#include "formats/lv2/lv2_ui.h"

namespace {

Lv2Ui* Of(LV2UI_Handle handle) {
  return static_cast<Lv2Ui*>(handle);
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor*, const char* pluginUri, const char*,
                         LV2UI_Write_Function write, LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  if (pluginUri == nullptr || std::string_view(pluginUri) != lv2port::kPluginUri) return nullptr;
  try {
    return Lv2Ui::Create(write, controller, widget, features);
  } catch (...) {
    return nullptr;
  }
}

void Cleanup(LV2UI_Handle handle) {
  delete Of(handle);
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format, const void* buffer) {
  try {
    if (handle != nullptr) Of(handle)->PortEvent(port, size, format, buffer);
  } catch (...) {
  }
}

int Idle(LV2UI_Handle handle) {
  try {
    return handle != nullptr ? Of(handle)->Idle() : 1;
  } catch (...) {
    return 1;
  }
}

const void* ExtensionData(const char* uri) {
  static const LV2UI_Idle_Interface idle{Idle};
  if (uri != nullptr && std::string_view(uri) == LV2_UI__idleInterface) return &idle;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor{lv2port::kUiUri, Instantiate, Cleanup, PortEvent, ExtensionData};

}  // namespace

const LV2UI_Descriptor* UiDescriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
