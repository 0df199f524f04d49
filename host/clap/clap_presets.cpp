// Presets of a CLAP plug-in as an indexing host finds them: every provider
// of the module's preset-discovery factory is created, its declared
// locations crawled (its own presets, and files with its declared
// extensions under a folder), and a preset loaded through preset-load.
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "host/clap/clap_plugin_host.h"
#include "host/host_error.h"

namespace vornhost {

namespace {

struct Crawl {
  std::vector<std::string> extensions;
  std::vector<ClapPreset> locations;  // name, location and kind only
  std::vector<ClapPreset> presets;
  ClapPreset current;  // the location being read
  std::string error;
};

Crawl& Of(const clap_preset_discovery_indexer_t* indexer) {
  return *static_cast<Crawl*>(indexer->indexer_data);
}

Crawl& Of(const clap_preset_discovery_metadata_receiver_t* receiver) {
  return *static_cast<Crawl*>(receiver->receiver_data);
}

const void* Factory(const clap_plugin_entry_t* entry) {
  const void* f = entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID);
  return f != nullptr ? f : entry->get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT);
}

void ReadLocation(const clap_preset_discovery_provider_t* provider, Crawl& crawl,
                  const clap_preset_discovery_metadata_receiver_t& receiver) {
  const ClapPreset& where = crawl.current;
  if (where.locationKind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN) {
    provider->get_metadata(provider, where.locationKind, nullptr, &receiver);
    return;
  }
  std::error_code error;
  std::vector<std::string> files;
  if (std::filesystem::is_directory(where.location, error)) {
    for (auto it = std::filesystem::recursive_directory_iterator(where.location, error);
         !error && it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
      if (!it->is_regular_file(error)) continue;
      std::string extension = it->path().extension().string();
      if (!extension.empty()) extension.erase(0, 1);
      if (crawl.extensions.empty() ||
          std::find(crawl.extensions.begin(), crawl.extensions.end(), extension) != crawl.extensions.end())
        files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
  } else if (std::filesystem::is_regular_file(where.location, error)) {
    files.push_back(where.location);
  }
  for (const std::string& file : files) {
    crawl.current.location = file;
    provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_FILE, file.c_str(), &receiver);
  }
}

}  // namespace

std::vector<ClapPreset> ClapPluginHost::Presets() const {
  const auto* factory = static_cast<const clap_preset_discovery_factory_t*>(Factory(module_->entry()));
  if (factory == nullptr) return {};
  std::vector<ClapPreset> all;
  const std::uint32_t count = factory->count(factory);
  for (std::uint32_t i = 0; i < count && i < 100; ++i) {
    const auto* descriptor = factory->get_descriptor(factory, i);
    if (descriptor == nullptr || descriptor->id == nullptr) continue;
    Crawl crawl;
    clap_preset_discovery_indexer_t indexer{};
    indexer.clap_version = CLAP_VERSION;
    indexer.name = "vornhost";
    indexer.vendor = "Fenmoor";
    indexer.url = "";
    indexer.version = "1.0";
    indexer.indexer_data = &crawl;
    indexer.declare_filetype = [](const clap_preset_discovery_indexer_t* ix,
                                  const clap_preset_discovery_filetype_t* type) {
      if (type == nullptr) return false;
      Of(ix).extensions.push_back(type->file_extension != nullptr ? type->file_extension : "");
      return true;
    };
    indexer.declare_location = [](const clap_preset_discovery_indexer_t* ix,
                                  const clap_preset_discovery_location_t* location) {
      if (location == nullptr) return false;
      ClapPreset where;
      where.name = location->name != nullptr ? location->name : "";
      where.locationKind = location->kind;
      where.location = location->location != nullptr ? location->location : "";
      if (where.locationKind == CLAP_PRESET_DISCOVERY_LOCATION_FILE && where.location.empty()) return false;
      Of(ix).locations.push_back(where);
      return true;
    };
    indexer.declare_soundpack = [](const clap_preset_discovery_indexer_t*,
                                   const clap_preset_discovery_soundpack_t*) { return true; };
    indexer.get_extension = [](const clap_preset_discovery_indexer_t*, const char*) -> const void* {
      return nullptr;
    };
    const auto* provider = factory->create(factory, &indexer, descriptor->id);
    if (provider == nullptr) continue;
    if (provider->init(provider)) {
      clap_preset_discovery_metadata_receiver_t receiver{};
      receiver.receiver_data = &crawl;
      receiver.on_error = [](const clap_preset_discovery_metadata_receiver_t* r, int32_t,
                             const char* message) { Of(r).error = message != nullptr ? message : "error"; };
      receiver.begin_preset = [](const clap_preset_discovery_metadata_receiver_t* r, const char* name,
                                 const char* loadKey) {
        Crawl& c = Of(r);
        ClapPreset preset = c.current;
        preset.name = name != nullptr ? name : "";
        preset.loadKey = loadKey != nullptr ? loadKey : "";
        c.presets.push_back(preset);
        return true;
      };
      receiver.add_plugin_id = [](const clap_preset_discovery_metadata_receiver_t*,
                                  const clap_universal_plugin_id_t*) {};
      receiver.set_soundpack_id = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
      receiver.set_flags = [](const clap_preset_discovery_metadata_receiver_t*, uint32_t) {};
      receiver.add_creator = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
      receiver.set_description = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
      receiver.set_timestamps = [](const clap_preset_discovery_metadata_receiver_t*, clap_timestamp,
                                   clap_timestamp) {};
      receiver.add_feature = [](const clap_preset_discovery_metadata_receiver_t*, const char*) {};
      receiver.add_extra_info = [](const clap_preset_discovery_metadata_receiver_t*, const char*,
                                   const char*) {};
      const std::vector<ClapPreset> locations = crawl.locations;
      for (const ClapPreset& where : locations) {
        crawl.current = where;
        ReadLocation(provider, crawl, receiver);
      }
    }
    provider->destroy(provider);
    all.insert(all.end(), crawl.presets.begin(), crawl.presets.end());
  }
  return all;
}

void ClapPluginHost::ApplyPreset(const std::string& name) {
  auto lower = [](std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
  };
  const auto presets = Presets();
  auto it = std::find_if(presets.begin(), presets.end(),
                         [&](const ClapPreset& p) { return lower(p.name) == lower(name); });
  if (it == presets.end()) {
    std::string names;
    for (const auto& p : presets) names += (names.empty() ? "\"" : ", \"") + p.name + "\"";
    throw HostError("no preset '" + name + "'; the plug-in lists " + (names.empty() ? "none" : names));
  }
  const auto* load = static_cast<const clap_plugin_preset_load_t*>(Extension(CLAP_EXT_PRESET_LOAD));
  if (load == nullptr)
    load = static_cast<const clap_plugin_preset_load_t*>(Extension(CLAP_EXT_PRESET_LOAD_COMPAT));
  if (load == nullptr) throw HostError("the plug-in lists presets but cannot load them (no preset-load)");
  const char* location =
      it->locationKind == CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN ? nullptr : it->location.c_str();
  if (!load->from_location(plugin_, it->locationKind, location,
                           it->loadKey.empty() ? nullptr : it->loadKey.c_str()))
    throw HostError("the plug-in would not load its preset '" + it->name + "'");
}

}  // namespace vornhost
