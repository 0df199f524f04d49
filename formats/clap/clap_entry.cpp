#include "formats/clap/clap_entry.h"

#include <mutex>
#include <string_view>

#include "formats/clap/abi/preset_discovery.h"
#include "formats/clap/clap_descriptor.h"
#include "formats/clap/clap_plugin.h"
#include "formats/clap/clap_presets.h"

namespace clapentry {

namespace {

// Hosts may call init and deinit from any thread; each init is matched by
// one deinit, and the factories answer only in between.
std::mutex initLock;
int initCount = 0;

uint32_t CLAP_ABI PluginCount(const clap_plugin_factory_t*) {
  return 1;
}

const clap_plugin_descriptor_t* CLAP_ABI PluginDescriptor(const clap_plugin_factory_t*, uint32_t index) {
  return index == 0 ? &clapplugin::Descriptor() : nullptr;
}

const clap_plugin_t* CLAP_ABI CreatePlugin(const clap_plugin_factory_t*, const clap_host_t* host,
                                           const char* id) {
  if (host == nullptr || id == nullptr || std::string_view(id) != clapplugin::kPluginId) return nullptr;
  if (!clap_version_is_compatible(host->clap_version)) return nullptr;
  try {
    return (new ClapPlugin(host))->Record();
  } catch (...) {
    return nullptr;
  }
}

const clap_plugin_factory_t kPluginFactory{PluginCount, PluginDescriptor, CreatePlugin};

}  // namespace

bool Init(const char*) {
  const std::lock_guard<std::mutex> hold(initLock);
  ++initCount;
  return true;
}

void Deinit() {
  const std::lock_guard<std::mutex> hold(initLock);
  if (initCount > 0) --initCount;
}

const void* Factory(const char* id) {
  if (id == nullptr || InitCount() == 0) return nullptr;
  const std::string_view name(id);
  if (name == CLAP_PLUGIN_FACTORY_ID) return &kPluginFactory;
  if (name == CLAP_PRESET_DISCOVERY_FACTORY_ID || name == CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT)
    return &clappresets::DiscoveryFactory();
  return nullptr;
}

int InitCount() {
  const std::lock_guard<std::mutex> hold(initLock);
  return initCount;
}

}  // namespace clapentry
