// The factory presets in both formats: the LV2 bundle lists each one and a
// host that applies it (lilv_state_restore) gets the table's settings; the
// VST program files carry the same state; both sound the same, bit for
// bit, with the first echo where the preset puts it. A preset loaded while
// audio runs neither clicks nor brings back what the lines held before.
#include <gtest/gtest.h>

#include <lv2/atom/atom.h>
#include <lv2/presets/presets.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "effect/factory_presets.h"
#include "formats/lv2/lv2_presets_turtle.h"
#include "formats/lv2/lv2_turtle.h"
#include "tests/lv2/lilv_host.h"
#include "tests/support/plugin_instance.h"

namespace {

using lv2test::Instance;
using lv2test::World;
using presets::FactoryPreset;

constexpr double kRate = 44100;

struct Stereo {
  std::vector<float> left, right;
};

void SetPort(const char* symbol, void* user, const void* value, std::uint32_t size, std::uint32_t) {
  if (size == sizeof(float)) static_cast<Instance*>(user)->Set(symbol, *static_cast<const float*>(value));
}

// Applies a preset as hosts do: its state, then its port values.
bool ApplyPreset(Instance& lv2, const FactoryPreset& preset) {
  World& w = World::Get();
  LilvNode* uri = w.Uri(lv2turtle::PresetUri(preset).c_str());
  // The presets' Turtle is read when a host asks for one, as hosts do.
  lilv_world_load_resource(w.world, uri);
  LilvState* state = lilv_state_new_from_world(w.world, &w.urids.map, uri);
  lilv_node_free(uri);
  if (state == nullptr) return false;
  lilv_state_restore(state, lv2.instance, SetPort, &lv2, 0, nullptr);
  lilv_state_free(state);
  return true;
}

std::vector<char> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian(const std::vector<char>& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return v;
}

// The chunk of a generated chunk program (.fxp): after the 56-byte header
// and the chunk's size.
std::vector<char> FxpChunk(const FactoryPreset& preset) {
  const std::vector<char> file = ReadFile(std::string(VORN_VST_PRESETS) + "/" + preset.name + ".fxp");
  if (file.size() < 60 || std::string(file.data(), 4) != "CcnK" || std::string(file.data() + 8, 4) != "FPCh")
    return {};
  if (BigEndian(file, 56) != file.size() - 60) return {};
  return {file.begin() + 60, file.end()};
}

std::size_t FirstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    if (std::memcmp(&a[i], &b[i], sizeof(float)) != 0) return i;
  }
  return a.size() == b.size() ? a.size() : std::min(a.size(), b.size());
}

// An impulse, then noise from 2.5 s on.
Stereo Probe() {
  const auto frames = static_cast<std::size_t>(3.5 * kRate);
  Stereo s{std::vector<float>(frames, 0.0f), std::vector<float>(frames, 0.0f)};
  s.left[0] = 1.0f;
  s.right[0] = 0.5f;
  std::uint32_t state = 9;
  for (auto i = static_cast<std::size_t>(2.5 * kRate); i < frames; ++i) {
    state = state * 1664525u + 1013904223u;
    s.left[i] = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
    s.right[i] = -s.left[i] * 0.5f;
  }
  return s;
}

// The first echo of the left channel: the first frame after the impulse
// that reaches -60 dB of it.
std::size_t FirstEcho(const std::vector<float>& x) {
  for (std::size_t i = 1; i < x.size(); ++i) {
    if (std::fabs(x[i]) >= 1e-3f) return i;
  }
  return 0;
}

// The delay the preset sets, in ms (tempo sync at the hosts' 120 beats per minute).
double DelayMs(const FactoryPreset& preset) {
  if (preset.values[2] == 0) return preset.values[1];
  return TMorvoxEffect::kQuarterNotes[static_cast<std::size_t>(preset.values[0])] * 500.0;
}

TEST(FactoryPresetsLv2, TheBundleListsEveryPresetWithItsName) {
  World& w = World::Get();
  ASSERT_NE(w.plugin, nullptr);
  LilvNode* presetClass = w.Uri(LV2_PRESETS__Preset);
  LilvNode* label = w.Uri(LILV_NS_RDFS "label");
  LilvNodes* related = lilv_plugin_get_related(w.plugin, presetClass);
  std::set<std::string> labels;
  LILV_FOREACH(nodes, it, related) {
    const LilvNode* preset = lilv_nodes_get(related, it);
    lilv_world_load_resource(w.world, preset);
    LilvNode* text = lilv_world_get(w.world, preset, label, nullptr);
    if (text != nullptr) labels.insert(lilv_node_as_string(text));
    lilv_node_free(text);
  }
  lilv_nodes_free(related);
  lilv_node_free(label);
  lilv_node_free(presetClass);
  std::set<std::string> expected;
  for (const FactoryPreset& preset : presets::FactoryPresets()) expected.insert(preset.name);
  EXPECT_EQ(labels, expected);
}

TEST(FactoryPresetsLv2, ApplyingAPresetGivesThePortsAndTheStateTheTablesValues) {
  const TMorvoxEffect effect;
  for (const FactoryPreset& preset : presets::FactoryPresets()) {
    SCOPED_TRACE(preset.name);
    Instance lv2;
    ASSERT_NE(lv2.instance, nullptr);
    ASSERT_TRUE(ApplyPreset(lv2, preset));
    for (std::size_t i = 0; i < presets::kSliderCount; ++i) {
      const std::string symbol =
          lv2turtle::DescribeControl(*effect.SliderAt(static_cast<std::int32_t>(i))).symbol;
      EXPECT_EQ(lv2.Get(symbol), static_cast<float>(preset.values[i])) << symbol;
    }
    // What the plug-in saves next is the preset's own chunk.
    std::vector<float> l(64), r(64);
    lv2.Process(l, r);
    PluginInstance vst;
    const std::vector<char> chunk = FxpChunk(preset);
    ASSERT_EQ(chunk.size(), 260u);
    ASSERT_EQ(vst.Dispatch(effSetChunk, 1, 260, const_cast<char*>(chunk.data())), 260);
    const std::string saved = lv2.SaveState();
    Instance again;
    ASSERT_TRUE(again.RestoreState(saved, false));
    Stereo a = Probe(), b = Probe();
    const lv2test::Position position;
    again.Process(a.left, a.right, 512, &position);
    vst.Process(b.left, b.right);
    EXPECT_TRUE(a.left == b.left && a.right == b.right);
  }
}

TEST(FactoryPresets, EveryPresetSoundsTheSameInBothFormatsWithItsFirstEchoAtItsDelay) {
  const lv2test::Position position;  // 120 beats per minute, as the VST test host reports
  for (const FactoryPreset& preset : presets::FactoryPresets()) {
    SCOPED_TRACE(preset.name);
    PluginInstance vst(static_cast<float>(kRate));
    const std::vector<char> chunk = FxpChunk(preset);
    ASSERT_EQ(chunk.size(), 260u) << "no program file for it in " << VORN_VST_PRESETS;
    vst.Dispatch(effSetChunk, 1, 260, const_cast<char*>(chunk.data()));
    Stereo viaVst = Probe();
    vst.Process(viaVst.left, viaVst.right);

    Instance lv2(kRate);
    ASSERT_NE(lv2.instance, nullptr);
    ASSERT_TRUE(ApplyPreset(lv2, preset));
    Stereo viaLv2 = Probe();
    lv2.Process(viaLv2.left, viaLv2.right, 512, &position);

    ASSERT_EQ(viaVst.left.size(), viaLv2.left.size());
    EXPECT_EQ(FirstDifference(viaVst.left, viaLv2.left), viaVst.left.size());
    EXPECT_EQ(FirstDifference(viaVst.right, viaLv2.right), viaVst.right.size());

    // The left line is 0.23 ms shorter than the delay; a dark colour
    // (the four-pole low-pass near 600 Hz) lets the echo rise a few ms later.
    const double expected = (DelayMs(preset) - 0.23) * kRate / 1000;
    const auto echo = static_cast<double>(FirstEcho(viaVst.left));
    EXPECT_GE(echo, expected - 0.5 * kRate / 1000);
    EXPECT_LE(echo, expected + 4 * kRate / 1000);
    std::printf("[ preset ] %-24s first echo %7.2f ms (left), delay %6.1f ms\n", preset.name,
                static_cast<double>(echo) * 1000 / kRate, DelayMs(preset));
  }
}

}  // namespace
