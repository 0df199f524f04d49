// The module's entry, the factories and what a host reads before it plays:
// init counting, unknown ids, the descriptor, ports, tail, render, the
// factory presets, and the host's thread-check.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "effect/factory_presets.h"
#include "formats/clap/abi/gui.h"
#include "formats/clap/abi/latency.h"
#include "formats/clap/clap_descriptor.h"
#include "formats/clap/clap_entry.h"
#include "formats/clap/clap_plugin.h"
#include "tests/clap/clap_test_host.h"

extern "C" const clap_plugin_entry_t clap_entry;

namespace {

TEST(ClapEntry, FactoriesAnswerOnlyBetweenInitAndItsDeinit) {
  EXPECT_TRUE(clap_version_is_compatible(clap_entry.clap_version));
  EXPECT_EQ(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);
  ASSERT_TRUE(clap_entry.init("/nowhere/VornDelay2.clap"));
  ASSERT_TRUE(clap_entry.init("/nowhere/VornDelay2.clap"));
  EXPECT_NE(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);
  EXPECT_NE(clap_entry.get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID), nullptr);
  EXPECT_NE(clap_entry.get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT), nullptr);
  EXPECT_EQ(clap_entry.get_factory("clap.plugin-factory.x"), nullptr);
  EXPECT_EQ(clap_entry.get_factory(nullptr), nullptr);
  clap_entry.deinit();
  EXPECT_NE(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr) << "one init still open";
  clap_entry.deinit();
  EXPECT_EQ(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID), nullptr);
  clap_entry.deinit();  // one too many: harmless
  EXPECT_EQ(clapentry::InitCount(), 0);
}

TEST(ClapEntry, OnePluginWithOurIdAndFeaturesAndNothingForOtherIds) {
  ASSERT_TRUE(clap_entry.init(""));
  const auto* factory =
      static_cast<const clap_plugin_factory_t*>(clap_entry.get_factory(CLAP_PLUGIN_FACTORY_ID));
  ASSERT_EQ(factory->get_plugin_count(factory), 1u);
  EXPECT_EQ(factory->get_plugin_descriptor(factory, 1), nullptr);
  const clap_plugin_descriptor_t* d = factory->get_plugin_descriptor(factory, 0);
  EXPECT_STREQ(d->id, "com.fenmoor.vorn-delay-2");
  EXPECT_STREQ(d->name, "Vorn Delay 2");
  EXPECT_STREQ(d->vendor, "Fenmoor");
  std::vector<std::string> features;
  for (const char* const* f = d->features; *f != nullptr; ++f) features.emplace_back(*f);
  EXPECT_EQ(features, (std::vector<std::string>{"audio-effect", "delay", "stereo"}));

  ClapTestHost host;
  EXPECT_EQ(factory->create_plugin(factory, host.Host(), "com.fenmoor.vorn-delay"), nullptr);
  EXPECT_EQ(factory->create_plugin(factory, host.Host(), nullptr), nullptr);
  EXPECT_EQ(factory->create_plugin(factory, nullptr, d->id), nullptr);
  clap_host_t old = *host.Host();
  old.clap_version = {0, 9, 0};
  EXPECT_EQ(factory->create_plugin(factory, &old, d->id), nullptr);
  clap_entry.deinit();
}

TEST(ClapEntry, PortsLatencyTailAndRender) {
  ClapTestHost host;
  ClapInstance clap(host);
  for (bool input : {true, false}) {
    ASSERT_EQ(clap.ports->count(clap.plugin, input), 1u);
    clap_audio_port_info_t info{};
    ASSERT_TRUE(clap.ports->get(clap.plugin, 0, input, &info));
    EXPECT_EQ(info.channel_count, 2u);
    EXPECT_TRUE(info.flags & CLAP_AUDIO_PORT_IS_MAIN);
    EXPECT_STREQ(info.port_type, CLAP_PORT_STEREO);
    EXPECT_EQ(info.in_place_pair, info.id);
    EXPECT_FALSE(clap.ports->get(clap.plugin, 1, input, &info));
  }
  const auto* latency =
      static_cast<const clap_plugin_latency_t*>(clap.plugin->get_extension(clap.plugin, CLAP_EXT_LATENCY));
  EXPECT_EQ(latency->get(clap.plugin), 0u);
  EXPECT_EQ(clap.plugin->get_extension(clap.plugin, "clap.no-such-thing"), nullptr);
  EXPECT_EQ(clap.plugin->get_extension(clap.plugin, CLAP_EXT_GUI), nullptr) << "no editor in this build";
  EXPECT_TRUE(clap.render->set(clap.plugin, CLAP_RENDER_OFFLINE));
  EXPECT_TRUE(clap.render->set(clap.plugin, CLAP_RENDER_REALTIME));
  EXPECT_FALSE(clap.render->set(clap.plugin, 7));
  EXPECT_FALSE(clap.render->has_hard_realtime_requirement(clap.plugin));
  ASSERT_NE(clap.tail, nullptr);
}

struct Listing {
  std::vector<std::string> names, keys, creators;
  std::vector<std::uint32_t> flags;
  std::vector<std::string> plugins;
  std::vector<clap_preset_discovery_location_t> locations;
};

TEST(ClapEntry, PresetDiscoveryListsTheTwelveFactoryPresetsAndPresetLoadLoadsThem) {
  ASSERT_TRUE(clap_entry.init(""));
  const auto* factory = static_cast<const clap_preset_discovery_factory_t*>(
      clap_entry.get_factory(CLAP_PRESET_DISCOVERY_FACTORY_ID));
  ASSERT_EQ(factory->count(factory), 1u);
  const clap_preset_discovery_provider_descriptor_t* d = factory->get_descriptor(factory, 0);
  ASSERT_NE(d, nullptr);

  Listing listing;
  clap_preset_discovery_indexer_t indexer{};
  indexer.clap_version = CLAP_VERSION;
  indexer.name = "test indexer";
  indexer.indexer_data = &listing;
  indexer.declare_location = [](const clap_preset_discovery_indexer_t* self,
                                const clap_preset_discovery_location_t* location) {
    static_cast<Listing*>(self->indexer_data)->locations.push_back(*location);
    return true;
  };
  EXPECT_EQ(factory->create(factory, &indexer, "no.such.provider"), nullptr);
  const clap_preset_discovery_provider_t* provider = factory->create(factory, &indexer, d->id);
  ASSERT_NE(provider, nullptr);
  ASSERT_TRUE(provider->init(provider));
  ASSERT_EQ(listing.locations.size(), 1u);
  EXPECT_EQ(listing.locations[0].kind, static_cast<std::uint32_t>(CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN));
  EXPECT_EQ(listing.locations[0].location, nullptr);

  clap_preset_discovery_metadata_receiver_t receiver{};
  receiver.receiver_data = &listing;
  receiver.begin_preset = [](const clap_preset_discovery_metadata_receiver_t* self, const char* name,
                             const char* key) {
    auto* l = static_cast<Listing*>(self->receiver_data);
    l->names.emplace_back(name);
    l->keys.emplace_back(key);
    return true;
  };
  receiver.add_plugin_id = [](const clap_preset_discovery_metadata_receiver_t* self,
                              const clap_universal_plugin_id_t* id) {
    static_cast<Listing*>(self->receiver_data)->plugins.push_back(std::string(id->abi) + ":" + id->id);
  };
  receiver.set_flags = [](const clap_preset_discovery_metadata_receiver_t* self, uint32_t flags) {
    static_cast<Listing*>(self->receiver_data)->flags.push_back(flags);
  };
  // add_creator and the rest left out: a receiver may offer only some.
  ASSERT_TRUE(provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, &receiver));
  EXPECT_FALSE(provider->get_metadata(provider, CLAP_PRESET_DISCOVERY_LOCATION_FILE, "/x.fxp", &receiver));
  provider->destroy(provider);
  ASSERT_EQ(listing.names.size(), 12u);
  EXPECT_EQ(listing.plugins.size(), 12u);
  EXPECT_EQ(listing.plugins[0], "clap:com.fenmoor.vorn-delay-2");
  for (std::uint32_t flags : listing.flags)
    EXPECT_EQ(flags, static_cast<std::uint32_t>(CLAP_PRESET_DISCOVERY_IS_FACTORY_CONTENT));
  clap_entry.deinit();

  ClapTestHost host;
  ClapInstance clap(host);
  for (std::size_t k = 0; k < listing.keys.size(); ++k) {
    const presets::FactoryPreset& preset = presets::FactoryPresets()[k];
    EXPECT_EQ(listing.names[k], preset.name);
    ASSERT_TRUE(clap.presetLoad->from_location(clap.plugin, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr,
                                               listing.keys[k].c_str()));
    EXPECT_EQ(clap.Save(), presets::PresetChunk(preset)) << listing.keys[k];
  }
  EXPECT_EQ(host.presetsLoaded, listing.keys);
  const std::vector<std::uint8_t> before = clap.Save();
  EXPECT_FALSE(
      clap.presetLoad->from_location(clap.plugin, CLAP_PRESET_DISCOVERY_LOCATION_PLUGIN, nullptr, "nope"));
  EXPECT_FALSE(
      clap.presetLoad->from_location(clap.plugin, CLAP_PRESET_DISCOVERY_LOCATION_FILE, "/a", nullptr));
  EXPECT_EQ(host.presetErrors.size(), 2u);
  EXPECT_EQ(clap.Save(), before);
}

TEST(ClapEntry, CallsFromTheWrongThreadAreToldToTheHostsLogOnce) {
  ClapTestHost host;
  ClapInstance clap(host);
  std::thread other([&] {
    clap.Activate();
    clap.Deactivate();
  });
  other.join();
  // activate and deactivate off the main thread: one line for both;
  // start and stop off the audio thread: one more.
  ASSERT_EQ(host.log.size(), 2u);
  EXPECT_NE(host.log[0].find("activate called off the main thread"), std::string::npos) << host.log[0];
  EXPECT_NE(host.log[1].find("start_processing called off the audio thread"), std::string::npos)
      << host.log[1];
  // Without thread-check offered nothing is said.
  ClapTestHost quiet;
  quiet.offerThreadCheck = false;
  ClapInstance unchecked(quiet);
  std::thread([&] { unchecked.Activate(); }).join();
  EXPECT_TRUE(quiet.log.empty());
}

}  // namespace
