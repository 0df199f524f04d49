// The identifiers a host looks our records up by, and the record layouts as
// the running program sees them (layout_checks.h pins them at compile time;
// this test runs on every build, under wine for the Windows ones).
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "formats/clap/abi/latency.h"
#include "formats/clap/abi/layout_checks.h"
#include "formats/clap/abi/tail.h"

namespace {

TEST(ClapAbi, IdentifierStringsAreThePublishedOnes) {
  EXPECT_STREQ(CLAP_PLUGIN_FACTORY_ID, "clap.plugin-factory");
  EXPECT_STREQ(CLAP_PRESET_DISCOVERY_FACTORY_ID, "clap.preset-discovery-factory/2");
  EXPECT_STREQ(CLAP_PRESET_DISCOVERY_FACTORY_ID_COMPAT, "clap.preset-discovery-factory/draft-2");
  EXPECT_STREQ(CLAP_EXT_AUDIO_PORTS, "clap.audio-ports");
  EXPECT_STREQ(CLAP_EXT_PARAMS, "clap.params");
  EXPECT_STREQ(CLAP_EXT_STATE, "clap.state");
  EXPECT_STREQ(CLAP_EXT_LATENCY, "clap.latency");
  EXPECT_STREQ(CLAP_EXT_TAIL, "clap.tail");
  EXPECT_STREQ(CLAP_EXT_RENDER, "clap.render");
  EXPECT_STREQ(CLAP_EXT_GUI, "clap.gui");
  EXPECT_STREQ(CLAP_EXT_TIMER_SUPPORT, "clap.timer-support");
  EXPECT_STREQ(CLAP_EXT_POSIX_FD_SUPPORT, "clap.posix-fd-support");
  EXPECT_STREQ(CLAP_EXT_THREAD_CHECK, "clap.thread-check");
  EXPECT_STREQ(CLAP_EXT_LOG, "clap.log");
  EXPECT_STREQ(CLAP_EXT_PRESET_LOAD, "clap.preset-load/2");
  EXPECT_STREQ(CLAP_EXT_PRESET_LOAD_COMPAT, "clap.preset-load.draft/2");
  EXPECT_STREQ(CLAP_WINDOW_API_X11, "x11");
  EXPECT_STREQ(CLAP_WINDOW_API_WIN32, "win32");
  EXPECT_STREQ(CLAP_PORT_STEREO, "stereo");
  EXPECT_STREQ(CLAP_ENTRY_SYMBOL, "clap_entry");
  EXPECT_STREQ(CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, "audio-effect");
  EXPECT_STREQ(CLAP_PLUGIN_FEATURE_DELAY, "delay");
  EXPECT_STREQ(CLAP_PLUGIN_FEATURE_STEREO, "stereo");
}

// A parameter event written field by field lands at the bytes a host built
// from the published headers reads.
TEST(ClapAbi, ParamValueEventBytesSitWhereTheInterfaceSaysTheyDo) {
  clap_event_param_value_t event{};
  event.header.size = sizeof(event);
  event.header.time = 77;
  event.header.type = CLAP_EVENT_PARAM_VALUE;
  event.param_id = 10;
  event.value = 0.25;
  const bool is64 = sizeof(void*) == 8;
  unsigned char bytes[sizeof(event)];
  std::memcpy(bytes, &event, sizeof(event));
  std::uint32_t time = 0;
  std::uint16_t type = 0;
  std::uint32_t id = 0;
  double value = 0;
  std::memcpy(&time, bytes + 4, sizeof(time));
  std::memcpy(&type, bytes + 10, sizeof(type));
  std::memcpy(&id, bytes + 16, sizeof(id));
  std::memcpy(&value, bytes + (is64 ? 48 : 40), sizeof(value));
  EXPECT_EQ(time, 77u);
  EXPECT_EQ(type, CLAP_EVENT_PARAM_VALUE);
  EXPECT_EQ(id, 10u);
  EXPECT_EQ(value, 0.25);
  EXPECT_EQ(sizeof(event), is64 ? 56u : 48u);
}

TEST(ClapAbi, RecordSizesOfThisBuild) {
  const bool is64 = sizeof(void*) == 8;
  EXPECT_EQ(sizeof(clap_plugin_t), is64 ? 96u : 48u);
  EXPECT_EQ(sizeof(clap_host_t), is64 ? 88u : 48u);
  EXPECT_EQ(sizeof(clap_process_t), is64 ? 64u : 40u);
  EXPECT_EQ(sizeof(clap_param_info_t), 1320u);
  EXPECT_EQ(sizeof(clap_event_transport_t), 104u);
  EXPECT_EQ(sizeof(clap_audio_port_info_t), is64 ? 288u : 276u);
  EXPECT_EQ(sizeof(clap_preset_discovery_indexer_t), is64 ? 88u : 48u);
  EXPECT_TRUE(clap_version_is_compatible(CLAP_VERSION));
  EXPECT_FALSE(clap_version_is_compatible(clap_version_t{0, 9, 0}));
}

}  // namespace
