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
#include <cstdio>
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

// A 200 Hz tone: its own steps are small, so a jump stands out.
void Tone(Stereo& s, std::size_t from, std::size_t frames, float level) {
  s.left.resize(from + frames);
  s.right.resize(from + frames);
  for (std::size_t i = from; i < from + frames; ++i) {
    s.left[i] = level * static_cast<float>(std::sin(2 * M_PI * 200 * static_cast<double>(i) / kRate));
    s.right[i] = s.left[i];
  }
}

float LargestStep(const std::vector<float>& x, std::size_t from, std::size_t to) {
  float step = 0;
  for (std::size_t i = std::max<std::size_t>(from, 1); i < to && i < x.size(); ++i)
    step = std::max(step, std::fabs(x[i] - x[i - 1]));
  return step;
}

// Runs `frames` frames of `input` from `from` on, in blocks of 256.
void Play(Instance& lv2, Stereo& audio, std::size_t from, std::size_t frames) {
  std::vector<float> l(audio.left.begin() + static_cast<std::ptrdiff_t>(from),
                       audio.left.begin() + static_cast<std::ptrdiff_t>(from + frames));
  std::vector<float> r(audio.right.begin() + static_cast<std::ptrdiff_t>(from),
                       audio.right.begin() + static_cast<std::ptrdiff_t>(from + frames));
  lv2.Process(l, r, 256);
  std::copy(l.begin(), l.end(), audio.left.begin() + static_cast<std::ptrdiff_t>(from));
  std::copy(r.begin(), r.end(), audio.right.begin() + static_cast<std::ptrdiff_t>(from));
}

// The chunk property of a saved state's Turtle, as text.
std::string ChunkOf(const std::string& turtle) {
  const std::size_t at = turtle.find("chunk>");
  return at == std::string::npos ? std::string() : turtle.substr(at, turtle.find('.', at) - at);
}

// The chunk a fresh instance saves once the preset is applied and has run.
std::string SavedChunkOf(const FactoryPreset& preset) {
  Instance reference(kRate, 256);
  if (!ApplyPreset(reference, preset)) return {};
  std::vector<float> l(64), r(64);
  reference.Process(l, r);
  return ChunkOf(reference.SaveState());
}

TEST(FactoryPresetsLv2, APresetLoadedWhilePlayingFadesOverWithoutAClick) {
  const FactoryPreset& wash = *presets::FindFactoryPreset("Long Ambient Wash");
  const FactoryPreset& slap = *presets::FindFactoryPreset("Slapback");
  Instance lv2(kRate, 256);
  ASSERT_NE(lv2.instance, nullptr);
  ASSERT_TRUE(ApplyPreset(lv2, wash));
  const auto second = static_cast<std::size_t>(kRate);
  Stereo audio;
  Tone(audio, 0, 3 * second, 0.3f);
  Play(lv2, audio, 0, 2 * second);
  const float steady = LargestStep(audio.left, second, 2 * second);
  ASSERT_TRUE(ApplyPreset(lv2, slap));
  Play(lv2, audio, 2 * second, second);
  // Through the fades and the first echo of the new settings, which start
  // from silent lines.
  const float around = LargestStep(audio.left, 2 * second - 256, 2 * second + second / 5);
  const float after = LargestStep(audio.left, 2 * second + second / 2, 3 * second);
  EXPECT_LT(around, 1.2f * std::max(steady, after)) << "steady " << steady << ", after " << after;
  std::printf("[ preset ] largest step: the wash %.5f, the slapback %.5f, around the load %.5f\n",
              static_cast<double>(steady), static_cast<double>(after), static_cast<double>(around));

  // The new settings are in place once the fade is done: the plug-in's
  // state is the slapback's.
  EXPECT_EQ(ChunkOf(lv2.SaveState()), SavedChunkOf(slap));
}

// A preset loaded while playing waits behind the fade; a save in that time
// already answers the preset, not the settings it replaces.
TEST(FactoryPresetsLv2, WhileALoadedPresetWaitsForTheFadeASaveAlreadyAnswersIt) {
  const FactoryPreset& wash = *presets::FindFactoryPreset("Long Ambient Wash");
  const FactoryPreset& slap = *presets::FindFactoryPreset("Slapback");
  const std::string expected = SavedChunkOf(slap);
  ASSERT_FALSE(expected.empty());

  Instance lv2(kRate, 256);
  ASSERT_TRUE(ApplyPreset(lv2, wash));
  Stereo audio;
  Tone(audio, 0, static_cast<std::size_t>(kRate), 0.3f);
  Play(lv2, audio, 0, static_cast<std::size_t>(kRate) / 2);
  ASSERT_TRUE(ApplyPreset(lv2, slap));
  EXPECT_EQ(ChunkOf(lv2.SaveState()), expected) << "a save right after the load";
  // One short block: the fade has begun, not ended.
  std::vector<float> quiet(64, 0.0f), quietRight(64, 0.0f);
  lv2.Process(quiet, quietRight, 64);
  EXPECT_EQ(ChunkOf(lv2.SaveState()), expected) << "a save while the fade runs";
  Play(lv2, audio, static_cast<std::size_t>(kRate) / 2, static_cast<std::size_t>(kRate) / 2);
  EXPECT_EQ(ChunkOf(lv2.SaveState()), expected) << "a save once it is in place";
}

TEST(FactoryPresetsLv2, APresetLoadedWhilePlayingBringsBackNothingTheLinesHeldBefore) {
  // The wash fills its 1.2 s lines with a tone; the slapback then runs on
  // silence, using only the lines' first 90 ms. Back to the wash: cells
  // beyond 90 ms still held the old tone unless the load cleared them.
  const FactoryPreset& wash = *presets::FindFactoryPreset("Long Ambient Wash");
  const FactoryPreset& slap = *presets::FindFactoryPreset("Slapback");
  Instance lv2(kRate, 256);
  ASSERT_NE(lv2.instance, nullptr);
  ASSERT_TRUE(ApplyPreset(lv2, wash));
  const auto second = static_cast<std::size_t>(kRate);
  Stereo audio;
  Tone(audio, 0, 2 * second, 0.3f);
  audio.left.resize(6 * second, 0.0f);
  audio.right.resize(6 * second, 0.0f);
  Play(lv2, audio, 0, 2 * second);
  ASSERT_TRUE(ApplyPreset(lv2, slap));
  Play(lv2, audio, 2 * second, 2 * second);
  EXPECT_LT(LargestStep(audio.left, 3 * second, 4 * second), 1e-4f) << "the slapback has died away";
  ASSERT_TRUE(ApplyPreset(lv2, wash));
  Play(lv2, audio, 4 * second, 2 * second);
  float peak = 0;
  for (std::size_t i = 4 * second; i < 6 * second; ++i) peak = std::max(peak, std::fabs(audio.left[i]));
  EXPECT_LT(peak, 1e-4f);
}

}  // namespace
