#include "formats/clap/clap_presets.h"

#include <string>
#include <string_view>
#include <vector>

#include "effect/factory_presets.h"
#include "formats/clap/abi/preset_load.h"
#include "formats/clap/clap_descriptor.h"
#include "formats/clap/clap_plugin.h"

namespace clappresets {

namespace {

constexpr char kProviderId[] = "com.fenmoor.vorn-delay-2.factory-presets";

const clap_preset_discovery_provider_descriptor_t kProviderDescriptor{
    CLAP_VERSION, kProviderId, "Vorn Delay 2 factory presets", "Fenmoor"};

const presets::FactoryPreset* PresetOfKey(const char* loadKey) {
  if (loadKey == nullptr) return nullptr;
  for (const presets::FactoryPreset& preset : presets::FactoryPresets()) {
    if (presets::PresetSymbol(preset) == loadKey) return &preset;
  }
  return nullptr;
}

const clap_preset_discovery_indexer_t* IndexerOf(const clap_preset_discovery_provider_t* provider) {
  return provider != nullptr ? static_cast<const clap_preset_discovery_indexer_t*>(provider->provider_data)
                             : nullptr;
}

bool CLAP_ABI ProviderInit(const clap_preset_discovery_provider_t* provider) {
  const clap_preset_discovery_indexer_t* indexer = IndexerOf(provider);
  if (indexer == nullptr || indexer->declare_location == nullptr) return false;
  const clap_preset_discovery_location_t location{CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT, "Factory presets",
                                                  CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr};
  return indexer->declare_location(indexer, &location);
}

void CLAP_ABI ProviderDestroy(const clap_preset_discovery_provider_t* provider) {
  delete provider;
}

bool CLAP_ABI ProviderMetadata(const clap_preset_discovery_provider_t*, uint32_t kind, const char*,
                               const clap_preset_discovery_metadata_receiver_t* receiver) {
  if (kind != CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN || receiver == nullptr ||
      receiver->begin_preset == nullptr)
    return false;
  try {
    const clap_universal_plugin_id_t ours{"clap", clapplugin::kPluginId};
    for (const presets::FactoryPreset& preset : presets::FactoryPresets()) {
      const std::string key = presets::PresetSymbol(preset);
      if (!receiver->begin_preset(receiver, preset.name, key.c_str())) break;
      if (receiver->add_plugin_id != nullptr) receiver->add_plugin_id(receiver, &ours);
      if (receiver->set_flags != nullptr)
        receiver->set_flags(receiver, CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT);
      if (receiver->add_creator != nullptr) receiver->add_creator(receiver, "Fenmoor");
    }
    return true;
  } catch (...) {
    return false;
  }
}

const void* CLAP_ABI ProviderExtension(const clap_preset_discovery_provider_t*, const char*) {
  return nullptr;
}

uint32_t CLAP_ABI FactoryCount(const clap_preset_discovery_factory_t*) {
  return 1;
}

const clap_preset_discovery_provider_descriptor_t* CLAP_ABI
FactoryDescriptor(const clap_preset_discovery_factory_t*, uint32_t index) {
  return index == 0 ? &kProviderDescriptor : nullptr;
}

const clap_preset_discovery_provider_t* CLAP_ABI FactoryCreate(const clap_preset_discovery_factory_t*,
                                                               const clap_preset_discovery_indexer_t* indexer,
                                                               const char* id) {
  if (indexer == nullptr || id == nullptr || std::string_view(id) != kProviderId) return nullptr;
  try {
    // The indexer rides in provider_data: the provider needs nothing else.
    return new clap_preset_discovery_provider_t{
        &kProviderDescriptor, const_cast<clap_preset_discovery_indexer_t*>(indexer),
        ProviderInit,         ProviderDestroy,
        ProviderMetadata,     ProviderExtension};
  } catch (...) {
    return nullptr;
  }
}

const clap_preset_discovery_factory_t kFactory{FactoryCount, FactoryDescriptor, FactoryCreate};

const clap_host_preset_load_t* HostPresetLoad(const clap_host_t* host) {
  if (host == nullptr || host->get_extension == nullptr) return nullptr;
  const void* found = host->get_extension(host, CLAP_EXT_PRESET_LOAD);
  if (found == nullptr) found = host->get_extension(host, CLAP_EXT_PRESET_LOAD_COMPAT);
  return static_cast<const clap_host_preset_load_t*>(found);
}

}  // namespace

const clap_preset_discovery_factory_t& DiscoveryFactory() {
  return kFactory;
}

bool Load(ClapPlugin& plugin, std::uint32_t kind, const char* location, const char* loadKey) {
  const clap_host_preset_load_t* host = HostPresetLoad(plugin.Host());
  const presets::FactoryPreset* preset =
      kind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN ? PresetOfKey(loadKey) : nullptr;
  const std::vector<std::uint8_t> chunk =
      preset != nullptr ? presets::PresetChunk(*preset) : std::vector<std::uint8_t>{};
  if (!ClapPlugin::IsOurChunk(chunk.data(), chunk.size())) {
    if (host != nullptr && host->on_error != nullptr)
      host->on_error(plugin.Host(), kind, location, loadKey, 0, "Vorn Delay 2 has no preset of that key");
    return false;
  }
  plugin.LoadChunk(chunk.data());
  if (host != nullptr && host->loaded != nullptr) host->loaded(plugin.Host(), kind, location, loadKey);
  return true;
}

}  // namespace clappresets
