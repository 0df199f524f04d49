// The state through the CLAP record: the VST build's chunk through streams
// of any step, foreign streams refused without a change, and a load while
// the sound runs answered at once and taken by the sound behind the fade.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "effect/factory_presets.h"
#include "formats/clap/clap_plugin.h"
#include "tests/clap/clap_test_host.h"
#include "tests/support/plugin_instance.h"

namespace {

std::vector<std::uint8_t> VstChunk(PluginInstance& vst) {
  void* data = nullptr;
  const auto size = static_cast<std::size_t>(vst.Dispatch(effGetChunk, 0, 0, &data));
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  return std::vector<std::uint8_t>(bytes, bytes + size);
}

const presets::FactoryPreset& SomePreset() {
  return presets::FactoryPresets()[5];
}

TEST(ClapState, SaveIsTheVstChunkThroughStreamsOfAnyStep) {
  PluginInstance vst;
  ClapTestHost host;
  ClapInstance clap(host);
  ClapEventList events;
  for (std::uint32_t i = 0; i < 10; ++i) {
    vst.SetSlider(static_cast<VstInt32>(i), SomePreset().values[i]);
    events.Value(0, i, SomePreset().values[i]);
  }
  ClapOutputList out;
  clap.params->flush(clap.plugin, events.Input(), out.Output());
  const std::vector<std::uint8_t> expected = VstChunk(vst);
  ASSERT_EQ(expected.size(), ClapPlugin::kChunkBytes);
  for (std::uint64_t step : {1ull, 7ull, 64ull, ~0ull}) EXPECT_EQ(clap.Save(step), expected) << step;

  // A stream that fails, or stops taking bytes, fails the save.
  ClapMemoryOut failing;
  failing.failAfter = 1;
  failing.step = 100;
  EXPECT_FALSE(clap.state->save(clap.plugin, &failing.stream));
  ClapMemoryOut stuck(0);
  EXPECT_FALSE(clap.state->save(clap.plugin, &stuck.stream));
}

TEST(ClapState, LoadThroughPartialReadsGivesTheSettingsAndTheVstTakesTheSameChunk) {
  const std::vector<std::uint8_t> chunk = presets::PresetChunk(SomePreset());
  for (std::uint64_t step : {1ull, 13ull, ~0ull}) {
    ClapTestHost host;
    ClapInstance clap(host);
    ASSERT_TRUE(clap.Load(chunk, step)) << step;
    for (std::uint32_t i = 0; i < 10; ++i) EXPECT_EQ(clap.Value(i), SomePreset().values[i]) << i;
    EXPECT_EQ(clap.Save(), chunk);
  }
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.Load(chunk));
  PluginInstance vst;
  std::vector<std::uint8_t> saved = clap.Save();
  vst.Dispatch(effSetChunk, 0, static_cast<VstIntPtr>(saved.size()), saved.data());
  EXPECT_EQ(VstChunk(vst), chunk);
}

TEST(ClapState, ForeignOrDamagedStreamsAreRefusedAndChangeNothing) {
  ClapTestHost host;
  ClapInstance clap(host);
  ClapEventList events;
  events.Value(0, 3, 61);
  ClapOutputList out;
  clap.params->flush(clap.plugin, events.Input(), out.Output());
  const std::vector<std::uint8_t> before = clap.Save();

  std::vector<std::uint8_t> chunk = presets::PresetChunk(SomePreset());
  std::vector<std::vector<std::uint8_t>> bad;
  bad.emplace_back();                                // empty
  bad.emplace_back(chunk.begin(), chunk.end() - 1);  // one byte short
  bad.push_back(chunk);
  bad.back().push_back(0);  // one byte long
  bad.push_back(chunk);
  bad.back()[0] ^= 0x40;         // not our marker
  bad.emplace_back(4096, 0xAB);  // anything else
  for (const auto& stream : bad) {
    for (std::uint64_t step : {1ull, 5ull, ~0ull}) {
      EXPECT_FALSE(clap.Load(stream, step)) << stream.size() << " bytes in steps of " << step;
      EXPECT_EQ(clap.Save(), before);
    }
  }
  // A read error part-way.
  struct Failing {
    static int64_t CLAP_ABI Read(const clap_istream_t*, void*, uint64_t) { return -1; }
  };
  const clap_istream_t failing{nullptr, Failing::Read};
  EXPECT_FALSE(clap.state->load(clap.plugin, &failing));
  EXPECT_FALSE(clap.state->load(clap.plugin, nullptr));
  EXPECT_EQ(clap.Save(), before);
  EXPECT_EQ(clap.Value(3), 61);
}

float Peak(const std::vector<float>& samples, std::size_t from = 0) {
  float peak = 0;
  for (std::size_t i = from; i < samples.size(); ++i) peak = std::fmax(peak, std::fabs(samples[i]));
  return peak;
}

TEST(ClapState, ALoadWhileTheSoundRunsIsTheStateAtOnceAndTheSoundTakesItBehindTheFade) {
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.Activate(44100, 512));
  // Echoes of a long delay with much feedback ring in the lines.
  ClapEventList ringing;
  ringing.Value(0, 1, 300);
  ringing.Value(0, 3, 50);
  std::vector<float> left = TestSignal(22050, 3);
  std::vector<float> right = TestSignal(22050, 4);
  clap.Process(left, right, 512, &ringing);

  const std::vector<std::uint8_t> chunk = presets::PresetChunk(SomePreset());
  ASSERT_TRUE(clap.Load(chunk));
  EXPECT_EQ(clap.Save(), chunk) << "a save right after the load answers the load";
  for (std::uint32_t i = 0; i < 10; ++i) EXPECT_EQ(clap.Value(i), SomePreset().values[i]);

  // Silence in: the old echoes fade out and are gone once the sound takes
  // the chunk (the new settings start from silent lines).
  std::vector<float> quietL(8192, 0.0f);
  std::vector<float> quietR(8192, 0.0f);
  clap.Process(quietL, quietR, 512);
  const auto ramp = static_cast<std::size_t>(BypassFade::kRampSeconds * 44100);
  EXPECT_EQ(Peak(quietL, ramp + 512), 0.0f);
  for (std::size_t i = 1; i < ramp + 512; ++i) ASSERT_LT(std::fabs(quietL[i] - quietL[i - 1]), 0.05f) << i;
  EXPECT_EQ(clap.Save(), chunk);

  // Two loads before the sound runs: the last wins.
  ASSERT_TRUE(clap.Load(presets::PresetChunk(presets::FactoryPresets()[1])));
  ASSERT_TRUE(clap.Load(chunk));
  clap.Process(quietL, quietR, 512);
  EXPECT_EQ(clap.Save(), chunk);
}

TEST(ClapState, ALoadTheSoundNeverReachedIsTakenWhenTheHostDeactivates) {
  ClapTestHost host;
  ClapInstance clap(host);
  ASSERT_TRUE(clap.Activate());
  const std::vector<std::uint8_t> chunk = presets::PresetChunk(SomePreset());
  ASSERT_TRUE(clap.Load(chunk));
  clap.Deactivate();
  EXPECT_EQ(clap.Save(), chunk);
  ASSERT_TRUE(clap.Activate());
  EXPECT_EQ(clap.Save(), chunk);
  for (std::uint32_t i = 0; i < 10; ++i) EXPECT_EQ(clap.Value(i), SomePreset().values[i]);
}

}  // namespace

namespace {

// A host that loads the state between activate and the first process (as
// Qtractor does) hears the session's first audio through the loaded
// settings, echo included, as if the state had been there before activation.
TEST(ClapState, ALoadBeforeTheFirstSoundAppliesAtOnce) {
  std::vector<float> burstL(44100, 0.0f);
  std::vector<float> burstR(44100, 0.0f);
  for (std::size_t i = 0; i < 64; ++i) burstL[i] = burstR[i] = 0.5f;

  ClapTestHost host;
  std::vector<std::uint8_t> chunk;
  {
    // A short delay with feedback, saved from an instance that took it.
    ClapInstance source(host);
    ClapEventList settings;
    settings.Value(0, 1, 300);
    settings.Value(0, 3, 50);
    ASSERT_TRUE(source.Activate(44100, 512));
    std::vector<float> l(512, 0.0f);
    std::vector<float> r(512, 0.0f);
    source.Process(l, r, 512, &settings);
    chunk = source.Save();
  }
  ClapInstance before(host);
  ASSERT_TRUE(before.Load(chunk));
  ASSERT_TRUE(before.Activate(44100, 512));
  std::vector<float> expectL = burstL;
  std::vector<float> expectR = burstR;
  before.Process(expectL, expectR, 512);
  ASSERT_GT(Peak(expectL, 4096), 0.01f) << "the preset echoes the burst";

  for (const bool again : {false, true}) {
    ClapInstance after(host);
    ASSERT_TRUE(after.Activate(44100, 512));
    if (again) {
      // A second activation: what sounded in the first does not count.
      std::vector<float> l = burstL;
      std::vector<float> r = burstR;
      after.Process(l, r, 512);
      after.Deactivate();
      ASSERT_TRUE(after.Activate(44100, 512));
    }
    ASSERT_TRUE(after.Load(chunk));
    std::vector<float> left = burstL;
    std::vector<float> right = burstR;
    after.Process(left, right, 512);
    if (again) {
      // The noise sequence and the positions run on: the echo is there,
      // not the same bits.
      EXPECT_GT(Peak(left, 4096), 0.5f * Peak(expectL, 4096));
      EXPECT_GT(Peak(right, 4096), 0.5f * Peak(expectR, 4096));
    } else {
      EXPECT_EQ(left, expectL);
      EXPECT_EQ(right, expectR);
    }
    EXPECT_EQ(after.Save(), chunk);
  }
}

}  // namespace
