// The plug-in loaded from its file with dlopen, entered through an exported
// function, with a host callback that records what the plug-in asks.
#pragma once

#include <string>
#include <vector>

#include "vst/vst24.h"

struct LoadedPlugin {
  explicit LoadedPlugin(const char* entry = "VSTPluginMain", VstIntPtr hostVersion = 2400);
  ~LoadedPlugin();
  LoadedPlugin(const LoadedPlugin&) = delete;
  LoadedPlugin& operator=(const LoadedPlugin&) = delete;

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
  }
  std::string Text(VstInt32 opcode, VstInt32 index = 0);
  void Close();  // effClose; the record is gone afterwards

  void* library = nullptr;
  AEffect* effect = nullptr;

  // What the host answers and saw.
  static VstTimeInfo timeInfo;
  static bool timeInfoAvailable;
  static std::vector<VstIntPtr> timeFilters;
};
