#include "tests/plugin/loaded_plugin.h"

#include <dlfcn.h>

#include <cstring>

VstTimeInfo LoadedPlugin::timeInfo{};
bool LoadedPlugin::timeInfoAvailable = true;
std::vector<VstIntPtr> LoadedPlugin::timeFilters;

namespace {

VstIntPtr hostVersion = 2400;

VstIntPtr HostCallback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr value, void*, float) {
  switch (opcode) {
    case audioMasterVersion:
      return hostVersion;
    case audioMasterGetTime:
      LoadedPlugin::timeFilters.push_back(value);
      return LoadedPlugin::timeInfoAvailable ? reinterpret_cast<VstIntPtr>(&LoadedPlugin::timeInfo) : 0;
    default:
      return 0;
  }
}

}  // namespace

LoadedPlugin::LoadedPlugin(const char* entry, VstIntPtr version) {
  hostVersion = version;
  // Kept mapped after dlclose, so leak reports can still name its code.
  library = dlopen(VORN_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (library == nullptr) return;
  using Entry = AEffect* (*)(audioMasterCallback);
  auto enter = reinterpret_cast<Entry>(dlsym(library, entry));
  if (enter != nullptr) effect = enter(HostCallback);
}

LoadedPlugin::~LoadedPlugin() {
  Close();
  if (library != nullptr) dlclose(library);
}

void LoadedPlugin::Close() {
  if (effect != nullptr) Dispatch(effClose);
  effect = nullptr;
}

std::string LoadedPlugin::Text(VstInt32 opcode, VstInt32 index) {
  char text[512];
  std::memset(text, 'x', sizeof text);
  text[sizeof text - 1] = '\0';
  Dispatch(opcode, index, 0, text);
  return text;
}
