// The LV2 plug-in's descriptor: each call passes to the instance's
// Lv2Plugin, and no exception crosses into the host.
#include <string_view>

#include <lv2/core/lv2.h>
#include <lv2/state/state.h>

#include "formats/lv2/lv2_entry.h"
#include "formats/lv2/lv2_plugin.h"
#include "formats/lv2/lv2_ports.h"

namespace {

Lv2Plugin* Of(LV2_Handle instance) {
  return static_cast<Lv2Plugin*>(instance);
}

LV2_Handle Instantiate(const LV2_Descriptor*, double rate, const char*, const LV2_Feature* const* features) {
  try {
    return Lv2Plugin::Create(rate, features);
  } catch (...) {
    return nullptr;
  }
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  if (instance != nullptr) Of(instance)->ConnectPort(port, data);
}

void Activate(LV2_Handle instance) {
  try {
    if (instance != nullptr) Of(instance)->Activate();
  } catch (...) {
  }
}

void Run(LV2_Handle instance, uint32_t frames) {
  try {
    if (instance != nullptr) Of(instance)->Run(frames);
  } catch (...) {
  }
}

void Deactivate(LV2_Handle instance) {
  try {
    if (instance != nullptr) Of(instance)->Deactivate();
  } catch (...) {
  }
}

void Cleanup(LV2_Handle instance) {
  delete Of(instance);
}

LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store, LV2_State_Handle handle, uint32_t,
                      const LV2_Feature* const*) {
  try {
    return instance != nullptr ? Of(instance)->Save(store, handle) : LV2_STATE_ERR_UNKNOWN;
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve, LV2_State_Handle handle,
                         uint32_t, const LV2_Feature* const*) {
  try {
    return instance != nullptr ? Of(instance)->Restore(retrieve, handle) : LV2_STATE_ERR_UNKNOWN;
  } catch (...) {
    return LV2_STATE_ERR_UNKNOWN;
  }
}

const void* ExtensionData(const char* uri) {
  static const LV2_State_Interface state{Save, Restore};
  if (uri != nullptr && std::string_view(uri) == LV2_STATE__interface) return &state;
  return nullptr;
}

const LV2_Descriptor kDescriptor{lv2port::kPluginUri, Instantiate, ConnectPort,  Activate, Run,
                                 Deactivate,          Cleanup,     ExtensionData};

}  // namespace

const LV2_Descriptor* PluginDescriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
